#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string systemErrorText(int code) { return std::strerror(code); }

std::string errorText(const std::error_code& error) { return error.message(); }

int lastSystemError() { return errno; }

bool SystemError::diskFull() const { return code_ == ENOSPC || code_ == EDQUOT; }

bool SystemError::heldByAnother() const { return false; }

}  // namespace platform
