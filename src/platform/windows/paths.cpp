#include "platform/paths.h"

#include <windows.h>

#include <vector>

#include "platform/windows/handle.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// Windows' longest path, in UTF-16 units, with room for the "\\?\" before it and the end.
constexpr std::size_t kLongestPath = 32768 + 8;

// What GetFinalPathNameByHandleW puts before a path: "\\?\" before a drive's, "\\?\UNC\" before a
// share's.
std::wstring withoutLongPrefix(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

}  // namespace

const char* const kSeparator = "\\";

std::filesystem::path toPath(const std::string& path) { return std::filesystem::path(windows::wide(path)); }

std::string fromPath(const std::filesystem::path& path) { return windows::utf8(path.native()); }

// MinGW's std::filesystem::canonical leaves symbolic links as they are: the handle's own path is
// the file the system opened.
SystemError resolveLinks(const std::string& path, std::string& resolved) {
    const windows::Handle file(
        windows::openFile(path, FILE_READ_ATTRIBUTES, windows::kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    if (!file.valid()) return SystemError::ofLastCall(path);
    // A buffer too small is answered with the length needed. Wine 8 answers ERROR_MORE_DATA to any
    // buffer past MAX_PATH: a name it cannot give is taken as written, made absolute.
    std::vector<wchar_t> buffer(kLongestPath);
    const DWORD length = GetFinalPathNameByHandleW(file.h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < buffer.size()) {
        resolved = windows::utf8(withoutLongPrefix(std::wstring(buffer.data(), length)));
        return {};
    }
    if (GetLastError() != ERROR_MORE_DATA) return SystemError::ofLastCall(path);
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(toPath(path), ec);
    if (ec) return {ec.value(), path};
    resolved = fromPath(absolute);
    return {};
}

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
