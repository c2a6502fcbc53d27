#include "core/store/case_folding.h"

namespace tavik::store {

CaseFolding::CaseFolding() {
    for (unsigned value = 0; value < folded_.size(); ++value) folded_[value] = static_cast<unsigned char>(value);
}

const CaseFolding& CaseFolding::Exact() {
    static const CaseFolding exact;
    return exact;
}

const CaseFolding& CaseFolding::Ascii() {
    static const CaseFolding ascii = [] {
        CaseFolding folding;
        for (unsigned value = 'A'; value <= 'Z'; ++value)
            folding.folded_[value] = static_cast<unsigned char>(value + 32);
        return folding;
    }();
    return ascii;
}

const CaseFolding& CaseFolding::Windows1252() {
    static const CaseFolding windows1252 = [] {
        CaseFolding folding = Ascii();
        for (unsigned value = 0xC0; value <= 0xDE; ++value) {
            if (value != 0xD7)
                folding.folded_[value] = static_cast<unsigned char>(value + 0x20);  // 0xD7 is the multiplication sign
        }
        folding.folded_[0x8A] = 0x9A;  // S caron
        folding.folded_[0x8C] = 0x9C;  // OE
        folding.folded_[0x8E] = 0x9E;  // Z caron
        folding.folded_[0x9F] = 0xFF;  // Y diaeresis
        return folding;
    }();
    return windows1252;
}

}  // namespace tavik::store
