#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Reads up to `size` bytes at `offset` of the file open for reading as `fd` into `buffer`. A short
// read goes on where it stopped and a refused one is tried again (transient_failures.h): the bytes
// read, fewer than `size` only where the file ends, or -1 with lastSystemError() saying why.
std::int64_t readAt(int fd, void* buffer, std::size_t size, std::int64_t offset);

}  // namespace platform
