#include "reception/mailslot_listener.h"

#include <new>
#include <utility>
#include <vector>

#include "core/reception/deliver_message.h"
#include "core/settings/settings_store.h"
#include "reception/ansi_code_page.h"
#include "reception/window_message_sink.h"
#include "resource_ids.h"
#include "shell/shell_state.h"

namespace tavik {

namespace {

constexpr DWORD kPollPeriodMs = 500;
// The heading text is read as into a 96-byte buffer: at most 95 characters.
constexpr int kHeadingBufferSize = 96;
constexpr int kBoxTextBufferSize = 256;

}  // namespace

std::atomic<MailslotListener*> ActiveMailslotListener{nullptr};

MailslotListener::MailslotListener(HWND mainWindow, std::string slotName)
    : stopEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      mainWindow(mainWindow),
      slotName(std::move(slotName)) {}

MailslotListener::~MailslotListener() {
    if (stopEvent != nullptr) {
        CloseHandle(stopEvent);
    }
}

DWORD MailslotListener::Run() {
    errorCode = 0;
    HANDLE slot = CreateMailslotA(slotName.c_str(), 0, MAILSLOT_WAIT_FOREVER, nullptr);
    if (slot == INVALID_HANDLE_VALUE) {
        errorCode = GetLastError();
        if (errorCode == 0) {
            errorCode = ERROR_GEN_FAILURE;  // the failure must still reach the user
        }
        return errorCode;
    }
    // The first poll comes before the first wait; a failed wait ends the loop like a stop.
    for (;;) {
        if (!PollOnce(slot)) {
            break;
        }
        if (WaitForSingleObject(stopEvent, kPollPeriodMs) != WAIT_TIMEOUT) {
            break;
        }
    }
    CloseHandle(slot);
    return errorCode;
}

DWORD MailslotListener::Stop() {
    SetEvent(stopEvent);
    return errorCode;
}

bool MailslotListener::PollOnce(HANDLE slot) {
    DWORD nextSize = 0;
    if (!GetMailslotInfo(slot, nullptr, &nextSize, nullptr, nullptr)) {
        return false;
    }
    if (nextSize == MAILSLOT_NO_MESSAGE) {
        return true;
    }
    // Two spare bytes, as the datagram is read whole; anything beyond the announced size is
    // not a datagram this poll can trust.
    const DWORD capacity = nextSize <= MAXDWORD - 2 ? nextSize + 2 : MAXDWORD;
    std::vector<unsigned char> buffer;
    try {
        buffer.resize(capacity);
    } catch (const std::bad_alloc&) {
        return true;  // the datagram stays queued; the next poll tries again
    }
    DWORD received = 0;
    if (!ReadFile(slot, buffer.data(), capacity, &received, nullptr) || received < nextSize) {
        return true;
    }
    auto datagram = ParseMessengerDatagram(buffer.data(), received);
    if (!datagram) {
        return true;
    }
    const auto settings = ProcessSettings().Current();
    const std::string heading = shell::LoadResourceString(IDS_HEADING_MESSAGE, kHeadingBufferSize);
    AnsiCodePage codePage;
    WindowMessageSink sink(mainWindow);
    DeliverMessage(datagram->sender, datagram->recipient, datagram->text, *settings, heading,
                   codePage, sink);
    return true;
}

DWORD WINAPI MailslotListenerThread(LPVOID mainWindow) {
    HWND owner = static_cast<HWND>(mainWindow);
    auto* listener = new (std::nothrow) MailslotListener(owner);
    if (listener == nullptr) {
        return 0;
    }
    ActiveMailslotListener.store(listener);
    if (listener->Run() != 0) {
        const std::string text = shell::LoadResourceString(IDS_MAILSLOT_FAILED, kBoxTextBufferSize);
        const std::string caption = shell::LoadResourceString(IDS_PROGRAM_NAME, kBoxTextBufferSize);
        MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    }
    return 0;
}

}  // namespace tavik
