#pragma once
// The NetBIOS Messenger listener: registers the computer name and the user's name with suffix
// 0x03, listens for calls on them and serves each session with the message-block handler.
// Where the platform's NetBIOS cannot listen (no adapter, or every listen refused as an
// illegal command), it serves the same names over TCP port 139 instead (NetBIOS over TCP);
// when that port cannot be had either, it ends silently.

#include <windows.h>
#include <nb30.h>

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/netbios/messenger_delivery.h"
#include "reception/reception_context.h"
#include "win/scoped_handles.h"

namespace tavik::reception {

class NetbiosListener {
public:
    NetbiosListener(ReceptionContext context, netbios::MessengerDelivery delivery);
    NetbiosListener(const NetbiosListener&) = delete;
    NetbiosListener& operator=(const NetbiosListener&) = delete;

    // Serves until stopped, or until there is nothing it can serve.
    void Run();
    // Cancels the pending listens and a receive under way, and ends the TCP carrier; returns at once.
    void Stop();

private:
    struct Slot {
        NCB ncb{};
        std::string name;
        win::KernelHandle event;
    };
    enum class Outcome { Served, ListenRefused, Nothing };
    // Listens posted and waiting, and listens refused as an illegal command.
    struct ListenCount {
        std::size_t pending = 0;
        std::size_t refused = 0;
    };

    // The session loop on one adapter; ListenRefused when every listen was refused as illegal.
    Outcome ServeAdapter(UCHAR lana, std::vector<Slot>& slots);
    // Gives each slot its event (slots without one are dropped) and lets Stop reach them.
    void PrepareSlots(std::vector<Slot>& slots);
    void PublishSlots(std::vector<Slot>* slots);
    // Adds each name and posts its first listen; a name that cannot be added is reported.
    ListenCount AddNamesAndListen(UCHAR lana, std::vector<Slot>& slots);
    // Serves each call as it completes and listens again, until no listen waits. True when a
    // session was served.
    bool ServeSessions(UCHAR lana, std::vector<Slot>& slots, ListenCount& count);
    UCHAR PostListen(Slot& slot, UCHAR lana);
    void ShowNameFailure(const std::string& name);
    void ServeOverTcp(const std::vector<std::string>& names);

    ReceptionContext context_;
    netbios::MessengerDelivery delivery_;
    win::KernelHandle stopEvent_;  // manual-reset
    std::atomic<bool> stopping_{false};
    // The slots while the session loop runs; Stop reaches them only under this lock.
    std::mutex slotsGuard_;
    std::vector<Slot>* activeSlots_ = nullptr;
};

}  // namespace tavik::reception
