#include "reception/system_date_time.h"

#include <windows.h>

#include <vector>

namespace tavik::reception {

namespace {

// A part that does not fit its buffer comes out empty, as the fixed buffers always gave.
std::string DatePart(const SYSTEMTIME& time, DWORD flags, int bufferSize) {
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
    int written = GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, nullptr, buffer.data(), bufferSize);
    return written > 0 ? std::string(buffer.data()) : std::string();
}

std::string TimePart(const SYSTEMTIME& time, int bufferSize) {
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize), '\0');
    int written = GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, 0, &time, nullptr, buffer.data(), bufferSize);
    return written > 0 ? std::string(buffer.data()) : std::string();
}

constexpr int kLongDateBuffer = 50;
constexpr int kShortPartBuffer = 20;

}  // namespace

std::string SystemDateTime::ArrivalDateLine() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DatePart(now, DATE_LONGDATE, kLongDateBuffer) + ", " + TimePart(now, kShortPartBuffer);
}

std::string SystemDateTime::ShortDateTime() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DatePart(now, DATE_SHORTDATE, kShortPartBuffer) + ", " + TimePart(now, kShortPartBuffer);
}

}  // namespace tavik::reception
