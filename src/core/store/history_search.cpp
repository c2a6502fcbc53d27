#include "core/store/history_search.h"

#include <algorithm>

namespace tavik::store {

TextSearch::TextSearch(std::string_view text, bool matchCase, const CaseFolding& ignoringCase)
    : folding_(matchCase ? CaseFolding::Exact() : ignoringCase), folded_(text) {
    for (char& byte : folded_) byte = static_cast<char>(folding_.Fold(static_cast<unsigned char>(byte)));
    // Horspool: a window whose last byte does not occur earlier in the text moves on by its whole length.
    const auto length = static_cast<std::uint32_t>(folded_.size());
    skip_.fill(std::max<std::uint32_t>(length, 1));
    for (std::uint32_t i = 0; i + 1 < length; ++i) skip_[static_cast<unsigned char>(folded_[i])] = length - 1 - i;
}

bool TextSearch::In(std::string_view haystack) const {
    const std::size_t length = folded_.size();
    if (length == 0 || haystack.size() < length) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto* sought = reinterpret_cast<const unsigned char*>(folded_.data());
    const unsigned char last = sought[length - 1];
    for (std::size_t at = 0; at + length <= haystack.size();) {
        const unsigned char end = folding_.Fold(bytes[at + length - 1]);
        if (end == last) {
            std::size_t i = 0;
            while (i + 1 < length && folding_.Fold(bytes[at + i]) == sought[i]) ++i;
            if (i + 1 == length) return true;
        }
        at += skip_[end];
    }
    return false;
}

std::uint32_t FindMessage(const MessageHistory& history, std::uint32_t from, const SearchRequest& request,
                          const CaseFolding& ignoringCase) {
    const TextSearch search(request.text, request.matchCase, ignoringCase);
    const std::uint32_t count = history.count();
    if (request.direction == SearchDirection::Newer) {
        const std::uint32_t first = std::max(from, history.olderToCome()) + 1;
        for (std::uint32_t position = first; position <= count; ++position) {
            if (search.Matches(*history.at(position))) return position;
        }
        return 0;
    }
    // Positions up to olderToCome belong to files the load has not read yet.
    for (std::uint32_t position = std::min(from, count + 1); position > history.olderToCome() + 1;) {
        --position;
        if (search.Matches(*history.at(position))) return position;
    }
    return 0;
}

}  // namespace tavik::store
