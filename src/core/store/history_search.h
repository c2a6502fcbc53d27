#pragma once
// Finding a stored message by its sender or text: from the message shown, the nearest one
// towards the oldest or the newest whose sender or stamped text (date line included) holds the
// text sought. The search stops at the end of the list; it does not wrap around.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/store/case_folding.h"
#include "core/store/message_history.h"

namespace tavik::store {

// Older: towards message 1 (the dialog's "Up"); Newer: towards the newest ("Down").
enum class SearchDirection { Older, Newer };

struct SearchRequest {
    std::string text;
    SearchDirection direction = SearchDirection::Older;
    bool matchCase = false;
};

// The text sought, prepared once for many messages (folded, with its skip table), so that a
// message costs one pass over its bytes and no allocation.
class TextSearch {
public:
    // ignoringCase folds both sides unless matchCase is set.
    TextSearch(std::string_view text, bool matchCase, const CaseFolding& ignoringCase);

    // Whether haystack holds the text; an empty text is held nowhere.
    bool In(std::string_view haystack) const;
    bool Matches(const MessageEntry& entry) const { return In(entry.sender) || In(entry.text); }

private:
    const CaseFolding& folding_;
    std::string folded_;
    // How far the window may move on when its last byte (folded) is the index.
    std::array<std::uint32_t, 256> skip_{};
};

// The position of the nearest entry beyond position `from` (itself left out) in the request's
// direction whose sender or text holds the text; 0 when there is none. Only the entries here are
// searched: while the start-up load runs, the older ones still to come are not.
std::uint32_t FindMessage(const MessageHistory& history, std::uint32_t from, const SearchRequest& request,
                          const CaseFolding& ignoringCase);

}  // namespace tavik::store
