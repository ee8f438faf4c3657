#pragma once

#include <ctime>
#include <string>

namespace platform {

// `time` in the local time zone.
std::tm localTime(std::time_t time);

// The time fields that head a log line: the time of day in the user's locale format, ",", the
// seconds since midnight as a single-precision number in the locale's number format, ",".
std::string logTimeFields();

}  // namespace platform
