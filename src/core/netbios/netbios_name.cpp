#include "core/netbios/netbios_name.h"

#include <algorithm>

namespace tavik::netbios {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string NetbiosName(std::string_view name, std::uint8_t suffix) {
    std::string out(name.substr(0, kNetbiosNameChars));
    out.resize(kNetbiosNameChars, ' ');
    out.push_back(static_cast<char>(suffix));
    return out;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

std::vector<std::string> MessengerNames(std::string_view computerName, std::string_view userName) {
    std::string user = UpperCaseAscii(userName);
    if (user == computerName) return {std::string(computerName)};
    return {std::string(computerName), std::move(user)};
}

std::vector<std::string> SlotNames(const std::vector<std::string>& names) {
    std::vector<std::string> slots;
    for (std::size_t i = 0; i < names.size() && i < kMaximumNameSlots; ++i) {
        if (names[i].empty()) continue;
        std::string name = names[i].substr(0, kNetbiosNameChars);
        bool taken = std::any_of(slots.begin(), slots.end(),
                                 [&](const std::string& slot) { return EqualIgnoringCase(slot, name); });
        if (!taken) slots.push_back(std::move(name));
    }
    return slots;
}

}  // namespace tavik::netbios
