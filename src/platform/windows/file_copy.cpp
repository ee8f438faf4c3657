#include "file_copy.h"

#include <vector>

#include "handle.h"

namespace platform {

SystemError copyFile(const std::string& from, const std::string& to) {
    const windows::Handle in(windows::openFile(from, GENERIC_READ, windows::kShareAll, OPEN_EXISTING));
    if (!in.valid()) return SystemError::ofLastCall(from);
    const windows::Handle out(windows::openFile(to, GENERIC_WRITE, 0, CREATE_NEW));
    if (!out.valid()) return SystemError::ofLastCall(to);
    std::vector<char> chunk(1 << 20);
    for (std::int64_t offset = 0;;) {
        const std::int64_t n = windows::readAt(in.h, chunk.data(), chunk.size(), offset);
        if (n < 0) return SystemError::ofLastCall(from);
        if (n == 0) break;
        if (!windows::writeAt(out.h, chunk.data(), static_cast<std::size_t>(n), offset)) return SystemError::ofLastCall(to);
        offset += n;
    }
    return {};
}

}  // namespace platform
