#pragma once
// A NetBIOS session carried by NCB calls on the slot's own control block, so that a stop can
// cancel the receive that waits in it.

#include <windows.h>
#include <nb30.h>

#include "core/netbios/smb_session.h"

namespace tavik::reception {

class NcbSession final : public netbios::SmbSession {
public:
    // ncb holds the adapter and the local session number of a completed listen.
    explicit NcbSession(NCB& ncb) : ncb_(ncb), lana_(ncb.ncb_lana_num), lsn_(ncb.ncb_lsn) {}

    std::optional<std::string> ReceiveBlock(std::size_t maxSize) override;
    bool SendBlock(std::string_view block) override;
    void HangUp() override;

private:
    void Prepare(UCHAR command);

    NCB& ncb_;
    UCHAR lana_;
    UCHAR lsn_;
};

}  // namespace tavik::reception
