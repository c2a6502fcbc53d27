#include "core/net/tcp_message_buffer.h"

#include <algorithm>

#include "core/net/listener_config.h"
#include "core/net/tcp_framing.h"

namespace tavik::net {

void TcpMessageBuffer::Add(std::string_view piece) {
    byteCount_ += piece.size();
    if (OverLimit()) return;
    text_.append(piece.substr(0, piece.find('\0')));
    lastBytes_.append(piece.substr(piece.size() - std::min(piece.size(), kTcpEndMarkLine.size())));
    if (lastBytes_.size() > kTcpEndMarkLine.size()) lastBytes_.erase(0, lastBytes_.size() - kTcpEndMarkLine.size());
}

bool TcpMessageBuffer::OverLimit() const { return byteCount_ > kMaxMessageBytes; }

bool TcpMessageBuffer::EndsWithEndMark() const { return EndsWithTcpEndMark(lastBytes_) || EndsWithTcpEndMark(text_); }

}  // namespace tavik::net
