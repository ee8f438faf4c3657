#include "paths.h"

#include <windows.h>

#include <vector>

#include "wide_text.h"

namespace platform {

const char* const kSeparator = "\\";

std::filesystem::path toPath(const std::string& path) { return std::filesystem::path(windows::wide(path)); }

std::string fromPath(const std::filesystem::path& path) { return windows::utf8(path.native()); }

std::string executableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return fromPath(std::filesystem::path(std::wstring(buffer.data(), length)).parent_path());
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace platform
