#pragma once
// The Messenger mailslot listener: owns "\\.\mailslot\messngr" on this machine, takes at
// most one datagram per 500 ms poll and hands each to DeliverMessage for the main window.

#include <windows.h>

#include <atomic>
#include <string>

#include "core/reception/messenger_datagram.h"

namespace tavik {

class MailslotListener {
public:
    // slotName is the mailslot to own; tests use a private one.
    explicit MailslotListener(HWND mainWindow, std::string slotName = kMessengerMailslotName);
    virtual ~MailslotListener();

    MailslotListener(const MailslotListener&) = delete;
    MailslotListener& operator=(const MailslotListener&) = delete;

    // Opens the mailslot and polls until stopped or until the mailslot fails. Returns 0, or
    // the system error with which the mailslot could not be created.
    DWORD Run();
    // Asks Run to end (within one poll period); callable from any thread.
    DWORD Stop();

private:
    // Reads and delivers at most one datagram; false when the mailslot can no longer be read.
    bool PollOnce(HANDLE slot);

    DWORD errorCode = 0;
    HANDLE stopEvent;  // auto-reset, unnamed
    HWND mainWindow;
    std::string slotName;
};

// The running listener, for the thread that stops it; set by MailslotListenerThread.
extern std::atomic<MailslotListener*> ActiveMailslotListener;

// Thread procedure (parameter: the main window). Creates and publishes the listener, runs it,
// and shows the "mailslot cannot be opened" box when it fails. The stopper deletes the listener.
DWORD WINAPI MailslotListenerThread(LPVOID mainWindow);

}  // namespace tavik
