#pragma once

#include <string>
#include <system_error>

namespace platform {

// The system's own words for the error `code` (errno on POSIX, a GetLastError code on Windows), in
// UTF-8, to follow the name of the file whose operation failed.
std::string systemErrorText(int code);
// The same for what std::filesystem reports.
std::string errorText(const std::error_code& error);

// The code of this thread's last failed system call.
int lastSystemError();

// Whether `code` says the disk (or the user's share of it) is full.
bool isDiskFull(int code);

}  // namespace platform
