#include "file_replacement.h"

#include "handle.h"
#include "wide_text.h"

namespace platform {

const int kOtherVolume = ERROR_NOT_SAME_DEVICE;

namespace {

int lastError() { return static_cast<int>(GetLastError()); }

}  // namespace

int replaceFile(const std::string& replacement, const std::string& target) {
    // ReplaceFileW keeps the target's attributes and security, as the host's users have them; a
    // replacement on another volume stays where it is, and the target as it was.
    if (ReplaceFileW(windows::wide(target).c_str(), windows::wide(replacement).c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return 0;
    const int error = lastError();
    return error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_NOT_SAME_DEVICE ? kOtherVolume : error;
}

// ReplaceFileW gives the file the target's attributes and security when it moves it.
int takeOverPermissions(const std::string&, const std::string&) { return 0; }

bool isReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(windows::wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

int flushFile(const std::string& path) {
    const windows::Handle file(windows::openFile(path, GENERIC_WRITE, windows::kShareAll, OPEN_EXISTING));
    if (!file.valid()) return lastError();
    return FlushFileBuffers(file.h) ? 0 : lastError();
}

// NTFS journals a folder's entries itself; there is no handle of a folder to flush.
int flushFolder(const std::string&) { return 0; }

int hardLink(const std::string& file, const std::string& link) {
    return CreateHardLinkW(windows::wide(link).c_str(), windows::wide(file).c_str(), nullptr) ? 0 : lastError();
}

}  // namespace platform
