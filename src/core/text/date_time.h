#pragma once
// Date/time seam: the program formats with the system locale, tests with fixed texts.

#include <string>

namespace tavik {

class DateTimeFormatter {
public:
    virtual ~DateTimeFormatter() = default;
    // "<long date>, <time>" of the current local time: the first line of a stored message.
    virtual std::string ArrivalDateLine() const = 0;
    // "<short date>, <time>" of the current local time: used in delivery receipts.
    virtual std::string ShortDateTime() const = 0;
};

}  // namespace tavik
