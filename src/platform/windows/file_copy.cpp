#include "file_copy.h"

#include <vector>

#include "handle.h"

namespace platform {

std::optional<CopyFailure> copyFile(const std::string& from, const std::string& to) {
    const windows::Handle in(windows::openFile(from, GENERIC_READ, windows::kShareAll, OPEN_EXISTING));
    if (!in.valid()) return CopyFailure{from, static_cast<int>(GetLastError())};
    const windows::Handle out(windows::openFile(to, GENERIC_WRITE, 0, CREATE_NEW));
    if (!out.valid()) return CopyFailure{to, static_cast<int>(GetLastError())};
    std::vector<char> chunk(1 << 20);
    for (std::int64_t offset = 0;;) {
        const std::int64_t n = windows::readAt(in.h, chunk.data(), chunk.size(), offset);
        if (n < 0) return CopyFailure{from, static_cast<int>(GetLastError())};
        if (n == 0) break;
        if (!windows::writeAt(out.h, chunk.data(), static_cast<std::size_t>(n), offset))
            return CopyFailure{to, static_cast<int>(GetLastError())};
        offset += n;
    }
    return std::nullopt;
}

}  // namespace platform
