#pragma once
// The Messenger mailslot listener: owns "\\.\mailslot\messngr" on this machine, reads every
// datagram as it arrives and hands each to DeliverMessage. It reads only while the sink has
// room, so a flood waits in the mailslot's own buffer. A stop is seen within 500 ms.

#include <windows.h>

#include <string>

#include "core/reception/incoming_message.h"
#include "core/reception/messenger_datagram.h"
#include "win/scoped_handles.h"

namespace tavik::reception {

class MailslotListener {
public:
    // headingFormat is the resource text of the heading line; slotName the mailslot to own
    // (tests use a private one).
    MailslotListener(MessageSink& sink, std::string headingFormat, std::string slotName = kMessengerMailslotName);
    MailslotListener(const MailslotListener&) = delete;
    MailslotListener& operator=(const MailslotListener&) = delete;

    // Opens the mailslot and reads until stopped or until the mailslot fails. Returns 0, or
    // the system error with which the mailslot could not be created.
    DWORD Run();
    // Asks Run to end; callable from any thread.
    void Stop();

private:
    // Delivers one datagram of size bytes from the read buffer.
    void Deliver(DWORD size);

    MessageSink& sink_;
    std::string headingFormat_;
    std::string slotName_;
    win::KernelHandle stopEvent_;  // manual-reset: once asked, every later look sees it
    std::string buffer_;           // reused for every read
};

}  // namespace tavik::reception
