#include "reception/mailslot_listener.h"

#include <chrono>
#include <new>
#include <utility>

#include "core/reception/deliver_message.h"
#include "core/settings/settings_store.h"
#include "reception/ansi_code_page.h"

namespace tavik::reception {
namespace {

// The longest a read waits for a datagram, and so the longest a stop waits to be seen.
constexpr DWORD kReadTimeoutMs = 500;
// A read that waits must hold whatever arrives: some mailslots cut a datagram that does not
// fit. Datagrams already waiting are read at their own size.
constexpr std::size_t kReadBufferBytes = std::size_t{1} << 20;
// How long one look for room in the window's queue lasts, so a stop is seen meanwhile.
constexpr DWORD kRoomLookMs = 200;
// Larger datagrams are refused to their writer, so none can be too large to read and stay
// queued in front of every later one.
constexpr DWORD kLargestDatagram = 16u << 20;

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) != WAIT_TIMEOUT; }

}  // namespace

MailslotListener::MailslotListener(MessageSink& sink, std::string headingFormat, std::string slotName)
    : sink_(sink),
      headingFormat_(std::move(headingFormat)),
      slotName_(std::move(slotName)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

DWORD MailslotListener::Run() {
    win::FileHandle slot(CreateMailslotA(slotName_.c_str(), kLargestDatagram, kReadTimeoutMs, nullptr));
    if (!slot) {
        DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;  // the failure must still reach the user
    }
    buffer_.resize(kReadBufferBytes);
    while (!Signalled(stopEvent_.Get())) {
        // While the window's queue is full, datagrams wait in the mailslot rather than be read.
        if (!sink_.WaitForRoom(std::chrono::milliseconds(kRoomLookMs))) continue;
        DWORD nextSize = MAILSLOT_NO_MESSAGE;
        if (!GetMailslotInfo(slot.Get(), nullptr, &nextSize, nullptr, nullptr)) break;
        if (nextSize != MAILSLOT_NO_MESSAGE && std::size_t{nextSize} + 2 > buffer_.size()) {
            try {
                buffer_.resize(std::size_t{nextSize} + 2);
            } catch (const std::bad_alloc&) {
                // Memory is short: try again after a read time-out rather than spin.
                if (WaitForSingleObject(stopEvent_.Get(), kReadTimeoutMs) != WAIT_TIMEOUT) break;
                continue;
            }
        }
        DWORD received = 0;
        if (ReadFile(slot.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &received, nullptr)) {
            Deliver(received);
            continue;
        }
        const DWORD readError = GetLastError();
        // Nothing came within the time-out, or a datagram came that is larger than the buffer
        // (it stays queued and is read at its own size next).
        if (readError == ERROR_SEM_TIMEOUT || readError == ERROR_INSUFFICIENT_BUFFER) continue;
        // Any other failure: wait a read time-out before trying again rather than spin.
        if (WaitForSingleObject(stopEvent_.Get(), kReadTimeoutMs) != WAIT_TIMEOUT) break;
    }
    return 0;
}

void MailslotListener::Stop() { SetEvent(stopEvent_.Get()); }

void MailslotListener::Deliver(DWORD size) {
    auto datagram = ParseMessengerDatagram(reinterpret_cast<const unsigned char*>(buffer_.data()), size);
    if (!datagram) return;
    const auto settings = ProcessSettings().Current();
    AnsiCodePage codePage;
    DeliverMessage(datagram->sender, datagram->recipient, datagram->text, *settings, headingFormat_, codePage, sink_);
}

}  // namespace tavik::reception
