#include "core/text/format.h"

#include <vector>

namespace tavik {

std::string FormatText(std::string_view format, std::initializer_list<FormatArgument> arguments) {
    std::vector<FormatArgument> args(arguments);
    std::size_t next = 0;
    std::string out;
    out.reserve(format.size() + 32);
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out.push_back(c);
            continue;
        }
        char kind = format[i + 1];
        if (kind == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        if ((kind == 's' || kind == 'd' || kind == 'u') && next < args.size()) {
            const FormatArgument& arg = args[next];
            if (kind == 's' && std::holds_alternative<std::string_view>(arg)) {
                out.append(std::get<std::string_view>(arg));
                ++next;
                ++i;
                continue;
            }
            if (kind != 's' && std::holds_alternative<std::int64_t>(arg)) {
                out.append(std::to_string(std::get<std::int64_t>(arg)));
                ++next;
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

std::string CutText(std::string_view text, std::size_t maxLength) { return std::string(text.substr(0, maxLength)); }

}  // namespace tavik
