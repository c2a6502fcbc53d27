#include "core/store/heading.h"

#include "core/text/format.h"

namespace tavik::store {
namespace {

constexpr std::string_view kMessageFrom = "Message from";
constexpr std::string_view kAutoanswerFrom = "Autoanswer from";
constexpr std::string_view kBroadcastFrom = "Broadcast message from";
constexpr std::string_view kTo = " to ";

// What follows the phrase and the one character after it (normally a blank); empty when
// the text ends first.
std::string_view After(std::string_view text, std::string_view phrase) {
    const std::size_t start = phrase.size() + 1;
    return start >= text.size() ? std::string_view() : text.substr(start);
}

std::string_view AsLoaded(std::string_view format) { return format.substr(0, kHeadingFormatLength); }

}  // namespace

std::string RewordHeading(std::string_view text, std::string_view messageFormat, std::string_view broadcastFormat,
                          std::string_view autoanswerFormat) {
    if (text.starts_with(kMessageFrom)) {
        const std::size_t lineFeed = text.find('\n');
        const std::size_t to = text.find(kTo);
        const std::size_t nameStart = kMessageFrom.size() + 1;
        // The " to " must end before the line feed and must not start before the name does.
        if (lineFeed == std::string_view::npos || to == std::string_view::npos || to + 3 >= lineFeed ||
            to < nameStart) {
            return std::string(text);
        }
        const std::string_view name = text.substr(nameStart, to - nameStart);
        const std::string_view rest = text.substr(to + kTo.size());
        return FormatText(AsLoaded(messageFormat), {name, rest});
    }
    if (text.starts_with(kAutoanswerFrom)) {
        return FormatText(AsLoaded(autoanswerFormat), {After(text, kAutoanswerFrom)});
    }
    if (text.starts_with(kBroadcastFrom)) {
        return FormatText(AsLoaded(broadcastFormat), {After(text, kBroadcastFrom)});
    }
    return std::string(text);
}

std::string RewordHeading(std::string_view text, const HeadingFormats& formats) {
    return RewordHeading(text, formats.message, formats.broadcast, formats.autoanswer);
}

}  // namespace tavik::store
