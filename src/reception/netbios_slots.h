#pragma once
// The NetBIOS listener's slots and the one lock under which their control blocks are posted,
// rewritten and cancelled. A stop sets its flag under that lock and cancels what is pending, so
// every command is either posted before the stop, and cancelled by it, or not posted at all; and
// a slot's memory goes only once its command has completed.

#include <windows.h>
#include <nb30.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "win/scoped_handles.h"

namespace tavik::reception {

// The platform's Netbios, or a test's stand-in for it.
using NetbiosCall = std::function<UCHAR(NCB&)>;
UCHAR SystemNetbios(NCB& ncb);

struct NetbiosSlot {
    std::string name;
    NCB ncb{};                // the slot's listen, then the receives and sends of its session
    win::KernelHandle event;  // manual-reset; set when the command in ncb completes
    std::string buffer;       // the bytes of a receive or send in ncb
    bool pending = false;     // posted and not yet seen completing; written on the listener's thread only
};

// An asynchronous command that was taken answers "pending" on some systems and "good" on others;
// its outcome comes with its event either way.
bool Posted(UCHAR immediateResult);

class NetbiosSlots {
public:
    using Fill = std::function<void(NCB& ncb, std::string& buffer)>;

    explicit NetbiosSlots(NetbiosCall netbios) : netbios_(std::move(netbios)) {}
    NetbiosSlots(const NetbiosSlots&) = delete;
    NetbiosSlots& operator=(const NetbiosSlots&) = delete;

    // A command on a control block of the caller's own, which no stop cancels.
    UCHAR Call(NCB& ncb) const { return netbios_(ncb); }

    // Under the lock, unless a stop came or the slot's command is still pending: starts the slot's
    // control block afresh on lana, lets fill set the command, its fields and the buffer, and posts
    // it asynchronously with the slot's event. The immediate result; NRC_CMDCAN when not posted.
    UCHAR Post(NetbiosSlot& slot, UCHAR lana, const Fill& fill);
    // Waits for the slot's command; false when the wait failed (the command may still be pending).
    bool Await(NetbiosSlot& slot);
    // The slot's event came: its command has completed.
    void Completed(NetbiosSlot& slot);

    // Lets Stop reach slots.
    void Publish(std::vector<NetbiosSlot>* slots);
    // Puts slots out of Stop's reach, cancels what is still pending in them and waits up to boundMs
    // for it to complete. False when a command is still pending: its slot's memory must stay.
    bool Retire(std::vector<NetbiosSlot>& slots, DWORD boundMs);

    // Sets the stop flag and cancels every pending command of the published slots. Any thread.
    void Stop();
    bool StopRequested() const { return stopping_; }

private:
    void Cancel(NetbiosSlot& slot);  // with mutex_ held

    const NetbiosCall netbios_;
    std::mutex mutex_;
    std::atomic<bool> stopping_{false};  // set under mutex_
    std::vector<NetbiosSlot>* published_ = nullptr;
};

}  // namespace tavik::reception
