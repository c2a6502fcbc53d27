#pragma once
// What a TCP connection has sent so far. The text keeps each received piece up to its first
// NUL, as it always has. The end mark counts at the end of the bytes as sent as well as at the
// end of the text: a NUL before it does not hide it, nor does a C string's own NUL after it.
// Pieces past kMaxMessageBytes are counted but not kept.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik::net {

class TcpMessageBuffer {
public:
    void Add(std::string_view piece);

    std::size_t ByteCount() const { return byteCount_; }  // every byte received
    bool OverLimit() const;
    bool EndsWithEndMark() const;
    const std::string& Text() const { return text_; }

private:
    std::size_t byteCount_ = 0;
    std::string text_;
    std::string lastBytes_;  // the raw tail, long enough for the longest end mark
};

}  // namespace tavik::net
