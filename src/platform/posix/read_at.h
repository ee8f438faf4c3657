#pragma once

// Internal to the POSIX side: the read that ReadOnlyFile::readAt and copyFile share.

#include <cstddef>
#include <cstdint>

namespace platform::posix {

std::int64_t readAt(int fd, void* buffer, std::size_t size, std::int64_t offset);

}  // namespace platform::posix
