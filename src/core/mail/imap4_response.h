#pragma once
// Judging IMAP4 response lines. Servers word their texts freely, so a tagged line is judged by
// its tag, its status word and its response code only.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavik::mailbox {

// The greeting begins with "* OK", byte for byte.
bool IsImap4Greeting(std::string_view line);

enum class Imap4Status { Ok, No, Bad, Other };

struct Imap4TaggedLine {
    Imap4Status status = Imap4Status::Other;
    bool readOnly = false;  // the response code is READ-ONLY
};

// The line as the tagged end of the response to tag; nothing when it is another line. Status
// word and response code are compared without regard to case.
std::optional<Imap4TaggedLine> ParseImap4TaggedLine(std::string_view line, std::string_view tag);

// Counts the message numbers of an untagged SEARCH line, which may come in pieces: a mailbox
// with many unseen messages gives a line far longer than any other answer.
class SearchNumberCount {
public:
    // The line's first piece; false when the line is no SEARCH line.
    bool Begin(std::string_view firstPiece);
    // The pieces that follow, in order.
    void Add(std::string_view piece);
    std::int32_t Finish();

private:
    std::int32_t count_ = 0;
    bool inWord_ = false;
    bool wordIsNumber_ = false;
};

// How many message numbers an untagged SEARCH line lists; nothing for any other line.
std::optional<std::int32_t> CountSearchNumbers(std::string_view line);

}  // namespace tavik::mailbox
