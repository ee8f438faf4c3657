#pragma once

#include <string>

namespace platform {

// The UTF-8 text `text` in the encoding the log is written in: the system's narrow encoding
// (UTF-8 on POSIX, the ANSI code page on Windows), a character it cannot hold replaced by its own
// stand-in. Never fails.
std::string toLogEncoding(const std::string& text);

}  // namespace platform
