#pragma once
// The stored form of the mail password: every byte XORed with one key byte.

#include <string>
#include <string_view>

namespace tavik {

inline constexpr unsigned char kPasswordKey = 0x5A;

// Bytes to store as the Password string value: every password byte scrambled, then a terminating
// zero. A password byte equal to the key scrambles to 0 too, so the full length is kept rather than
// cut at that zero; the loader unscrambles every stored byte before the last.
std::string ScramblePassword(std::string_view password);

// The password from the stored bytes as read (terminating zero included): every byte but the last
// is unscrambled. Values stored cut short at a scrambled zero load as the part before it.
std::string UnscramblePassword(std::string_view storedBytes);

}  // namespace tavik
