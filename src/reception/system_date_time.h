#pragma once
// Date and time texts in the system's default formats (system default locale).

#include "core/text/date_time.h"

namespace tavik::reception {

class SystemDateTime final : public DateTimeFormatter {
public:
    // Long date (at most 49 characters) ", " time (at most 19): the first line of a stored message.
    std::string ArrivalDateLine() const override;
    // Short date ", " time, each at most 19 characters: used in delivery receipts.
    std::string ShortDateTime() const override;
};

}  // namespace tavik::reception
