#include "platform/file_access.h"

#include <atomic>

#include "platform/windows/handle.h"
#include "platform/paths.h"
#include "platform/windows/wide_text.h"

namespace platform {

const int kExists = ERROR_FILE_EXISTS;

SystemError canWriteIn(const std::string& folder) {
    // Windows decides by the folder's security, which only an attempt reads right: a file made to
    // vanish when it is closed, even by the end of the process.
    static std::atomic<unsigned> probes{0};
    const std::string probe = folder + kSeparator + "QNrepair-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(probes++) + ".probe";
    const windows::Handle file(windows::openFile(probe, GENERIC_WRITE, 0, CREATE_NEW,
                                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE));
    return file.valid() ? SystemError() : SystemError::ofLastCall(folder);
}

SystemError canReadWriteRemove(const std::string& path) {
    const windows::Handle file(windows::openFile(path, GENERIC_READ | GENERIC_WRITE | DELETE, windows::kShareAll,
                                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT));
    return file.valid() ? SystemError() : SystemError::ofLastCall(path);
}

bool isLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(windows::wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A link to a folder is removed as a folder, one to a file as a file: either way the link goes,
// and what it leads to stays.
SystemError removeLink(const std::string& path) {
    const std::wstring name = windows::wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return SystemError::ofLastCall(path);
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(name.c_str()) : DeleteFileW(name.c_str());
    return removed ? SystemError() : SystemError::ofLastCall(path);
}

SystemError createNew(const std::string& path) {
    const windows::Handle file(windows::openFile(path, GENERIC_WRITE, 0, CREATE_NEW));
    return file.valid() ? SystemError() : SystemError::ofLastCall(path);
}

SystemError appendToFile(const std::string& path, const std::string& bytes) {
    const windows::Handle file(windows::openFile(path, FILE_APPEND_DATA, windows::kShareAll, OPEN_ALWAYS));
    if (!file.valid()) return SystemError::ofLastCall(path);
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        return SystemError::ofLastCall(path);
    return {};
}

}  // namespace platform
