// The Messenger-transport listener threads: started after the main window, stopped at shut-down.
#include "reception/mailslot_listener.h"
#include "shell/shell_state.h"

namespace tavik::shell {
namespace {

constexpr SIZE_T kListenerStackSize = 8192;
constexpr DWORD kStopBoundMs = 5000;

HANDLE MailslotThread = nullptr;

// Waits for a thread while still taking the messages sent to this thread's windows, so a
// listener blocked handing a message over to the main window can finish and end.
bool WaitWhilePumping(HANDLE thread, DWORD boundMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= boundMs) return false;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, boundMs - elapsed, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The thread publishes its listener only once it runs: give a just-started thread that time.
MailslotListener* WaitForPublishedListener(HANDLE thread, DWORD boundMs) {
    DWORD start = GetTickCount();
    MailslotListener* listener = ActiveMailslotListener.load();
    while (listener == nullptr && GetTickCount() - start < boundMs &&
           WaitForSingleObject(thread, 10) == WAIT_TIMEOUT) {
        listener = ActiveMailslotListener.load();
    }
    return listener != nullptr ? listener : ActiveMailslotListener.load();
}

}  // namespace

void StartListeners() {
    MailslotThread = CreateThread(nullptr, kListenerStackSize, MailslotListenerThread, MainWindow, 0, nullptr);
}

void StopListeners() {
    MailslotListener* listener =
        MailslotThread != nullptr ? WaitForPublishedListener(MailslotThread, kStopBoundMs) : nullptr;
    if (listener != nullptr && MailslotThread != nullptr) {
        listener->Stop();
        if (WaitWhilePumping(MailslotThread, kStopBoundMs)) {
            delete ActiveMailslotListener.exchange(nullptr);
        }
        // A thread still running after the bound keeps its object; the process ends anyway.
    }
    if (MailslotThread != nullptr) {
        CloseHandle(MailslotThread);
        MailslotThread = nullptr;
    }
}

}  // namespace tavik::shell
