#include "reception/ncb_session.h"

#include <algorithm>

namespace tavik::reception {

void NcbSession::Prepare(UCHAR command) {
    ncb_ = NCB{};
    ncb_.ncb_command = command;
    ncb_.ncb_lana_num = lana_;
    ncb_.ncb_lsn = lsn_;
}

std::optional<std::string> NcbSession::ReceiveBlock(std::size_t maxSize) {
    std::string block(std::min<std::size_t>(maxSize, 0xFFFF), '\0');
    Prepare(NCBRECV);
    ncb_.ncb_buffer = reinterpret_cast<PUCHAR>(block.data());
    ncb_.ncb_length = static_cast<WORD>(block.size());
    if (Netbios(&ncb_) != NRC_GOODRET) return std::nullopt;  // hung up, timed out, cancelled, too long
    block.resize(std::min<std::size_t>(ncb_.ncb_length, block.size()));
    return block;
}

bool NcbSession::SendBlock(std::string_view block) {
    if (block.size() > 0xFFFF) return false;
    std::string copy(block);
    Prepare(NCBSEND);
    ncb_.ncb_buffer = reinterpret_cast<PUCHAR>(copy.data());
    ncb_.ncb_length = static_cast<WORD>(copy.size());
    return Netbios(&ncb_) == NRC_GOODRET;
}

void NcbSession::HangUp() {
    Prepare(NCBHANGUP);
    Netbios(&ncb_);
}

}  // namespace tavik::reception
