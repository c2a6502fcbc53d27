#include "send/send_text.h"

#include <iterator>

namespace tavik::send {

std::string MessageText(const std::vector<std::string>& words, std::istream& input) {
    if (words.size() == 1 && words[0] == "-") {
        std::string text((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty()) text.push_back(' ');
        text += word;
    }
    return text;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace tavik::send
