#include "reception/window_message_sink.h"

namespace tavik {

void WindowMessageSink::Deliver(std::uint32_t priority, const IncomingMessage& message) {
    // The result carries nothing; the send only has to be taken.
    SendMessageA(window, kIncomingMessageWindowMessage, static_cast<WPARAM>(priority),
                 reinterpret_cast<LPARAM>(&message));
}

}  // namespace tavik
