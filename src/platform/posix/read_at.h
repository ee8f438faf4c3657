#pragma once

// Internal to the POSIX side: the read that ReadOnlyFile::readAt and copyFile share.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system_error.h"

namespace platform::posix {

// As ReadOnlyFile::readAt, of `fd`, the file `path`.
SystemError readAt(int fd, const std::string& path, void* buffer, std::size_t size, std::int64_t offset,
                   std::int64_t& read);

}  // namespace platform::posix
