#include "reception/mailslot_listener.h"

#include <algorithm>
#include <new>
#include <utility>

#include "core/reception/deliver_message.h"
#include "core/settings/settings_store.h"
#include "reception/ansi_code_page.h"

namespace tavik::reception {
namespace {

// The longest a read waits for a datagram, and so the longest a stop waits to be seen.
constexpr DWORD kReadTimeoutMs = 500;
// Room for any datagram a reader is likely to meet; a larger one is read at its own size.
constexpr std::size_t kReadBufferBytes = 65536 + 2;

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) != WAIT_TIMEOUT; }

}  // namespace

MailslotListener::MailslotListener(MessageSink& sink, std::string headingFormat, std::string slotName)
    : sink(sink),
      headingFormat(std::move(headingFormat)),
      slotName(std::move(slotName)),
      stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

DWORD MailslotListener::Run() {
    win::FileHandle slot(CreateMailslotA(slotName.c_str(), 0, kReadTimeoutMs, nullptr));
    if (!slot) {
        DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;  // the failure must still reach the user
    }
    buffer.resize(kReadBufferBytes);
    while (!Signalled(stopEvent.Get())) {
        DWORD received = 0;
        if (ReadFile(slot.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &received, nullptr)) {
            Deliver(received);
            continue;
        }
        const DWORD readError = GetLastError();
        DWORD nextSize = 0;
        if (!GetMailslotInfo(slot.Get(), nullptr, &nextSize, nullptr, nullptr)) break;
        if (readError == ERROR_SEM_TIMEOUT) continue;  // nothing came within the time-out
        if (readError == ERROR_INSUFFICIENT_BUFFER && nextSize != MAILSLOT_NO_MESSAGE) {
            try {
                buffer.resize(std::max<std::size_t>(buffer.size(), std::size_t{nextSize} + 2));
                continue;
            } catch (const std::bad_alloc&) {
            }
        }
        // Any other failure: wait a read time-out before trying again rather than spin.
        if (WaitForSingleObject(stopEvent.Get(), kReadTimeoutMs) != WAIT_TIMEOUT) break;
    }
    return 0;
}

void MailslotListener::Stop() { SetEvent(stopEvent.Get()); }

void MailslotListener::Deliver(DWORD size) {
    auto datagram = ParseMessengerDatagram(reinterpret_cast<const unsigned char*>(buffer.data()), size);
    if (!datagram) return;
    const auto settings = ProcessSettings().Current();
    AnsiCodePage codePage;
    DeliverMessage(datagram->sender, datagram->recipient, datagram->text, *settings, headingFormat, codePage, sink);
}

}  // namespace tavik::reception
