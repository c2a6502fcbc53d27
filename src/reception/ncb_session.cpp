#include "reception/ncb_session.h"

#include <algorithm>

namespace tavik::reception {

bool NcbSession::Perform(const NetbiosSlots::Fill& fill) {
    const UCHAR posted = slots_.Post(slot_, lana_, [&](NCB& ncb, std::string& buffer) {
        fill(ncb, buffer);
        ncb.ncb_lsn = lsn_;
    });
    return Posted(posted) && slots_.Await(slot_) && slot_.ncb.ncb_retcode == NRC_GOODRET;
}

std::optional<std::string> NcbSession::ReceiveBlock(std::size_t maxSize) {
    const WORD size = static_cast<WORD>(std::min<std::size_t>(maxSize, 0xFFFF));
    const bool received = Perform([size](NCB& ncb, std::string& buffer) {
        buffer.assign(size, '\0');
        ncb.ncb_command = NCBRECV;
        ncb.ncb_buffer = reinterpret_cast<PUCHAR>(buffer.data());
        ncb.ncb_length = size;
    });
    if (!received) return std::nullopt;  // hung up, timed out, cancelled, too long
    return slot_.buffer.substr(0, std::min<std::size_t>(slot_.ncb.ncb_length, size));
}

bool NcbSession::SendBlock(std::string_view block) {
    if (block.size() > 0xFFFF) return false;
    return Perform([block](NCB& ncb, std::string& buffer) {
        buffer.assign(block);
        ncb.ncb_command = NCBSEND;
        ncb.ncb_buffer = reinterpret_cast<PUCHAR>(buffer.data());
        ncb.ncb_length = static_cast<WORD>(buffer.size());
    });
}

void NcbSession::HangUp() {
    // In a control block of its own: a stop does not cancel the hang-up, which ends the session.
    NCB hangUp{};
    hangUp.ncb_command = NCBHANGUP;
    hangUp.ncb_lana_num = lana_;
    hangUp.ncb_lsn = lsn_;
    slots_.Call(hangUp);
}

}  // namespace tavik::reception
