#pragma once
// The NetBIOS Messenger listener: registers the computer name and the user's name with suffix
// 0x03, listens for calls on them and serves each session with the message-block handler.
// Where the platform's NetBIOS cannot listen (no adapter, or every listen refused as an
// illegal command), it serves the same names over TCP port 139 instead (NetBIOS over TCP);
// when that port cannot be had either, it ends silently.

#include <windows.h>
#include <nb30.h>

#include <string>
#include <vector>

#include "core/netbios/messenger_delivery.h"
#include "reception/netbios_slots.h"
#include "reception/reception_context.h"
#include "win/scoped_handles.h"

namespace tavik::reception {

class NetbiosListener {
public:
    // netbios: the platform's NetBIOS (a test may stand in for it).
    NetbiosListener(ReceptionContext context, netbios::MessengerDelivery delivery, NetbiosCall netbios = SystemNetbios);
    NetbiosListener(const NetbiosListener&) = delete;
    NetbiosListener& operator=(const NetbiosListener&) = delete;

    // Serves until stopped, or until there is nothing it can serve.
    void Run();
    // Cancels the pending listens and a receive or send under way, keeps new ones from being posted,
    // and ends the TCP carrier; returns at once. Any thread, any time.
    void Stop();

private:
    enum class Outcome { Served, ListenRefused, Nothing };

    // The session loop on one adapter; ListenRefused when every listen was refused as illegal.
    Outcome ServeAdapter(UCHAR lana, const std::vector<std::string>& names);
    // Gives each slot its event (slots without one are dropped) and lets Stop reach them.
    void PrepareSlots(std::vector<NetbiosSlot>& slots);
    // Adds each name and posts its first listen; a name that cannot be added is reported. The
    // number of listens refused as an illegal command.
    std::size_t AddNamesAndListen(UCHAR lana, std::vector<NetbiosSlot>& slots);
    // Serves each call as it completes and listens again, until no command is pending (or the wait
    // fails); refused counts the listens refused as illegal. True when a session was served.
    bool ServeSessions(UCHAR lana, std::vector<NetbiosSlot>& slots, std::size_t& refused);
    UCHAR PostListen(NetbiosSlot& slot, UCHAR lana);
    UCHAR NameCommand(UCHAR command, UCHAR lana, const std::string& name);
    void ShowNameFailure(const std::string& name);
    void ServeOverTcp(const std::vector<std::string>& names);

    ReceptionContext context_;
    netbios::MessengerDelivery delivery_;
    win::KernelHandle stopEvent_;  // manual-reset; ends the TCP carrier
    // The slots while an adapter is served, the stop flag, and the lock of both.
    NetbiosSlots slots_;
};

}  // namespace tavik::reception
