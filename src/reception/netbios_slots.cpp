#include "reception/netbios_slots.h"

namespace tavik::reception {

UCHAR SystemNetbios(NCB& ncb) { return Netbios(&ncb); }

bool Posted(UCHAR immediateResult) { return immediateResult == NRC_PENDING || immediateResult == NRC_GOODRET; }

UCHAR NetbiosSlots::Post(NetbiosSlot& slot, UCHAR lana, const Fill& fill) {
    std::lock_guard lock(mutex_);
    if (stopping_ || slot.pending) return NRC_CMDCAN;
    slot.ncb = NCB{};
    fill(slot.ncb, slot.buffer);
    slot.ncb.ncb_command |= ASYNCH;
    slot.ncb.ncb_lana_num = lana;
    slot.ncb.ncb_event = slot.event.Get();
    ResetEvent(slot.event.Get());
    const UCHAR result = netbios_(slot.ncb);
    slot.pending = Posted(result);
    return result;
}

bool NetbiosSlots::Await(NetbiosSlot& slot) {
    if (WaitForSingleObject(slot.event.Get(), INFINITE) != WAIT_OBJECT_0) return false;
    Completed(slot);
    return true;
}

void NetbiosSlots::Completed(NetbiosSlot& slot) {
    std::lock_guard lock(mutex_);
    slot.pending = false;
    ResetEvent(slot.event.Get());
}

void NetbiosSlots::Publish(std::vector<NetbiosSlot>* slots) {
    std::lock_guard lock(mutex_);
    published_ = slots;
}

bool NetbiosSlots::Retire(std::vector<NetbiosSlot>& slots, DWORD boundMs) {
    {
        std::lock_guard lock(mutex_);
        if (published_ == &slots) published_ = nullptr;
        for (NetbiosSlot& slot : slots) {
            if (slot.pending) Cancel(slot);
        }
    }
    const ULONGLONG end = GetTickCount64() + boundMs;
    bool allCompleted = true;
    for (NetbiosSlot& slot : slots) {
        if (!slot.pending) continue;
        const ULONGLONG now = GetTickCount64();
        if (WaitForSingleObject(slot.event.Get(), now < end ? static_cast<DWORD>(end - now) : 0) == WAIT_OBJECT_0) {
            Completed(slot);
        } else {
            allCompleted = false;
        }
    }
    return allCompleted;
}

void NetbiosSlots::Stop() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (published_ == nullptr) return;
    // The listen that waits in each slot, or the receive or send of a session under way.
    for (NetbiosSlot& slot : *published_) {
        if (slot.pending) Cancel(slot);
    }
}

void NetbiosSlots::Cancel(NetbiosSlot& slot) {
    NCB cancel{};
    cancel.ncb_command = NCBCANCEL;
    cancel.ncb_lana_num = slot.ncb.ncb_lana_num;
    cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&slot.ncb);
    cancel.ncb_length = sizeof(NCB);
    netbios_(cancel);
}

}  // namespace tavik::reception
