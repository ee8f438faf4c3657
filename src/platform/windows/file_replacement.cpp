#include "file_replacement.h"

#include <aclapi.h>

#include "handle.h"
#include "wide_text.h"

namespace platform {

const int kOtherVolume = ERROR_NOT_SAME_DEVICE;

namespace {

int lastError() { return static_cast<int>(GetLastError()); }

}  // namespace

// One rename, as on POSIX. Not ReplaceFileW: it moves the target aside before it moves the
// replacement in, and a repair ended between the two leaves nothing at the path.
int replaceFile(const std::string& replacement, const std::string& target) {
    if (MoveFileExW(windows::wide(replacement).c_str(), windows::wide(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const int error = lastError();
    return error == ERROR_NOT_SAME_DEVICE ? kOtherVolume : error;
}

const bool kReplacingNeedsTargetClosed = true;

// The target's attributes (hidden, archive ...) and its access list, as the host's users have
// them; an access list this process may not read or set is left as the folder gave it.
int takeOverPermissions(const std::string& file, const std::string& original) {
    const std::wstring from = windows::wide(original);
    const std::wstring to = windows::wide(file);
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return lastError();
    if (!SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) return lastError();
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                              &descriptor) == ERROR_SUCCESS) {
        SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, acl, nullptr);
        LocalFree(descriptor);
    }
    return 0;
}

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
