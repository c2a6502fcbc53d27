#pragma once
// A NetBIOS session carried by NCB calls in the slot's own control block, posted through the
// listener's slots, so that a stop cancels the receive or send that waits in it and none is
// posted after the stop.

#include <windows.h>
#include <nb30.h>

#include "core/netbios/smb_session.h"
#include "reception/netbios_slots.h"

namespace tavik::reception {

class NcbSession final : public netbios::SmbSession {
public:
    // slot's control block holds the adapter and the local session number of a completed listen.
    NcbSession(NetbiosSlots& slots, NetbiosSlot& slot)
        : slots_(slots), slot_(slot), lana_(slot.ncb.ncb_lana_num), lsn_(slot.ncb.ncb_lsn) {}

    std::optional<std::string> ReceiveBlock(std::size_t maxSize) override;
    bool SendBlock(std::string_view block) override;
    void HangUp() override;
    bool StopRequested() const override { return slots_.StopRequested(); }

private:
    // Posts the command that fill sets in the slot and waits for it; true when it completed well.
    bool Perform(const NetbiosSlots::Fill& fill);

    NetbiosSlots& slots_;
    NetbiosSlot& slot_;
    UCHAR lana_;
    UCHAR lsn_;
};

}  // namespace tavik::reception
