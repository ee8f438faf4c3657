#include "system_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string systemErrorText(int code) { return std::strerror(code); }

int lastSystemError() { return errno; }

}  // namespace platform
