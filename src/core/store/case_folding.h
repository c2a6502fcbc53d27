#pragma once
// How a search that ignores case compares letters: every byte is folded to one byte, so a
// folded text keeps its length and its positions. Stored messages are 8-bit ANSI text.

#include <array>

namespace tavik::store {

class CaseFolding {
public:
    // Every byte as it is: the search matches case.
    static const CaseFolding& Exact();
    // A to Z fold to a to z; every other byte stays. Right for any code page whose first 128
    // characters are ASCII.
    static const CaseFolding& Ascii();
    // Windows-1252 (Western European): A to Z, the accented capitals 0xC0 to 0xDE (not the sign
    // 0xD7) and the pairs 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E, 0x9F/0xFF. One byte to one byte: an
    // accented letter matches only itself in either case, and 0xDF (sharp s) only itself.
    static const CaseFolding& Windows1252();

    unsigned char Fold(unsigned char byte) const { return folded_[byte]; }

private:
    CaseFolding();
    std::array<unsigned char, 256> folded_{};
};

}  // namespace tavik::store
