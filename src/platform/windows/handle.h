#pragma once

// Internal to the Windows side: a handle closed when it goes, and the reads and writes that retry.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::windows {

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h != INVALID_HANDLE_VALUE && h != nullptr; }
};

// Every program may read, write, rename or remove a file that this process holds open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0);

// Reads up to `size` bytes at `offset`, as ReadOnlyFile::readAt promises.
std::int64_t readAt(HANDLE h, void* buffer, std::size_t size, std::int64_t offset);
// Writes all of `size` bytes at `offset`; false with the last error set when the system keeps refusing.
bool writeAt(HANDLE h, const void* buffer, std::size_t size, std::int64_t offset);

}  // namespace platform::windows
