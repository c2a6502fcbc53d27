#include "core/settings/password_scramble.h"

namespace tavik {
namespace {

char Scramble(char byte) { return static_cast<char>(static_cast<unsigned char>(byte) ^ kPasswordKey); }

}  // namespace

std::string ScramblePassword(std::string_view password) {
    // A password is a zero-terminated text: nothing after a zero byte belongs to it.
    password = password.substr(0, password.find('\0'));
    std::string stored;
    stored.reserve(password.size() + 1);
    for (char byte : password) stored.push_back(Scramble(byte));
    stored.push_back('\0');
    return stored;
}

std::string UnscramblePassword(std::string_view storedBytes) {
    if (storedBytes.empty()) return {};
    std::string password;
    password.reserve(storedBytes.size() - 1);
    for (char byte : storedBytes.substr(0, storedBytes.size() - 1)) password.push_back(Scramble(byte));
    // The record holds a zero-terminated text: a stored key byte (a zero in plain text) ends it.
    return password.substr(0, password.find('\0'));
}

}  // namespace tavik
