#pragma once
// Re-wording of the English heading phrases of received texts through the resource texts
// 45 ("Message from"), 46 ("Broadcast message from") and 47 ("Autoanswer from").

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik::store {

// Resource texts are loaded into 96-byte buffers: a format holds at most 95 characters.
inline constexpr std::size_t kHeadingFormatLength = 95;

// Formats used when the resource module holds none.
inline constexpr std::string_view kDefaultMessageHeading = "Message from %s to %s";
inline constexpr std::string_view kDefaultBroadcastHeading = "Broadcast message from %s";
inline constexpr std::string_view kDefaultAutoanswerHeading = "Autoanswer from %s";

struct HeadingFormats {
    std::string message{kDefaultMessageHeading};        // string 45: %s name, %s rest
    std::string broadcast{kDefaultBroadcastHeading};    // string 46: %s rest
    std::string autoanswer{kDefaultAutoanswerHeading};  // string 47: %s rest
};

// The text to store after the date line: re-worded when it begins with one of the three
// phrases (case-sensitive), else as received. Never reads outside the text.
std::string RewordHeading(std::string_view text, std::string_view messageFormat, std::string_view broadcastFormat,
                          std::string_view autoanswerFormat);
std::string RewordHeading(std::string_view text, const HeadingFormats& formats);

}  // namespace tavik::store
