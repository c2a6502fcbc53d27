#pragma once
// Hands finished messages to the main window: a synchronous WM_USER+1 whose wParam is the
// priority and lParam the record's address. The window's handler copies the strings and
// releases this thread with ReplyMessage; the record lives only until Deliver returns.

#include <windows.h>

#include "core/reception/incoming_message.h"

namespace tavik {

constexpr UINT kIncomingMessageWindowMessage = WM_USER + 1;

class WindowMessageSink final : public MessageSink {
public:
    explicit WindowMessageSink(HWND window) : window(window) {}
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override;

private:
    HWND window;
};

}  // namespace tavik
