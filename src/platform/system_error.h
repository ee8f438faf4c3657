#pragma once

#include <string>

namespace platform {

// The system's own words for the error `code` (errno on POSIX, a GetLastError code on Windows), to
// follow the name of the file whose operation failed.
std::string systemErrorText(int code);

// The code of this thread's last failed system call.
int lastSystemError();

}  // namespace platform
