#include "platform/windows/handle.h"

#include "platform/system_error.h"
#include "platform/transient_failures.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {

namespace {

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xffffffff);
    position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return position;
}

}  // namespace

HANDLE openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    return CreateFileW(wide(path).c_str(), access, share, nullptr, disposition, flags | FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::int64_t readAt(HANDLE h, void* buffer, std::size_t size, std::int64_t offset) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    Retries retries(Retries::For::Transfer);
    while (done < size) {
        OVERLAPPED position = at(offset + static_cast<std::int64_t>(done));
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 30));
        if (ReadFile(h, bytes + done, wanted, &read, &position)) {
            if (read == 0) break;  // the end of the file
            done += read;
            continue;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF) break;
        if (!retries.again()) {
            SetLastError(error);
            return -1;
        }
    }
    return static_cast<std::int64_t>(done);
}

bool writeAt(HANDLE h, const void* buffer, std::size_t size, std::int64_t offset) {
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    Retries retries(Retries::For::Transfer);
    while (done < size) {
        OVERLAPPED position = at(offset + static_cast<std::int64_t>(done));
        DWORD written = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - done, 1 << 30));
        if (WriteFile(h, bytes + done, wanted, &written, &position) && written > 0) {
            done += written;
            continue;
        }
        const DWORD error = written == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_WRITE_FAULT : GetLastError();
        // Retrying cannot make room.
        if (SystemError(static_cast<int>(error), {}).diskFull() || !retries.again()) {
            SetLastError(error);
            return false;
        }
    }
    return true;
}

}  // namespace platform::windows
