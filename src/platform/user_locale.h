#pragma once

// What the user's settings make of times and text: the local time zone, the locale's formats,
// and the narrow encoding the log is written in.

#include <ctime>
#include <string>

namespace platform {

// `time` in the local time zone.
std::tm localTime(std::time_t time);

// The time fields that head a log line: the time of day in the user's locale format, ",", the
// seconds since midnight as a single-precision number in the locale's number format, ",".
std::string logTimeFields();

// The UTF-8 text `text` in the encoding the log is written in: the system's narrow encoding
// (UTF-8 on POSIX, the ANSI code page on Windows), a character it cannot hold replaced by its own
// stand-in. Never fails.
std::string toLogEncoding(const std::string& text);

}  // namespace platform
