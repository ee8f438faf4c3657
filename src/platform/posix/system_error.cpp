#include "system_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string systemErrorText(int code) { return std::strerror(code); }

std::string errorText(const std::error_code& error) { return error.message(); }

int lastSystemError() { return errno; }

bool isDiskFull(int code) { return code == ENOSPC || code == EDQUOT; }

}  // namespace platform
