#include "file_replacement.h"

#include <aclapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "handle.h"
#include "wide_text.h"

namespace platform {

const int kOtherVolume = ERROR_NOT_SAME_DEVICE;

namespace {

int lastError() { return static_cast<int>(GetLastError()); }

// FileRenameInfoEx and its flags, which MinGW's headers offer only for some target versions.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kReplaceIfExists = 0x1;
constexpr DWORD kPosixSemantics = 0x2;
struct RenameInfoEx {
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
};

// What a system or file system without the rename below answers.
bool unsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_CALL_NOT_IMPLEMENTED;
}

// The rename of Windows 10 (1709 on) on NTFS: it replaces a target that is open to share deletion,
// as ReadOnlyFile holds the original, and the handles open on it then hold the old file. Returns
// 0, the system's code, or -1 where the system or the file system does not offer it.
int renameOverHeldTarget(const std::string& replacement, const std::string& target) {
    const windows::Handle file(
        windows::openFile(replacement, DELETE | GENERIC_WRITE, windows::kShareAll, OPEN_EXISTING));
    if (!file.valid()) return lastError();
    const std::wstring name = windows::wide(target);
    std::vector<std::byte> buffer(offsetof(RenameInfoEx, fileName) + (name.size() + 1) * sizeof(WCHAR));
    auto* info = reinterpret_cast<RenameInfoEx*>(buffer.data());
    info->flags = kReplaceIfExists | kPosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>(name.size() * sizeof(WCHAR));
    std::memcpy(info->fileName, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    if (!SetFileInformationByHandle(file.h, kFileRenameInfoEx, info, static_cast<DWORD>(buffer.size()))) {
        const DWORD error = GetLastError();
        return unsupported(error) ? -1 : static_cast<int>(error);
    }
    // As MOVEFILE_WRITE_THROUGH: the move on the disk before the call returns.
    FlushFileBuffers(file.h);
    return 0;
}

}  // namespace

// One rename, as on POSIX. Not ReplaceFileW: it moves the target aside before it moves the
// replacement in, and a repair ended between the two leaves nothing at the path.
int replaceFile(const std::string& replacement, const std::string& target, const std::function<void()>& letGoOfTarget) {
    int error = renameOverHeldTarget(replacement, target);
    if (error < 0) {
        // MoveFileExW renames over no open file, even one open to share deletion.
        if (letGoOfTarget) letGoOfTarget();
        error = MoveFileExW(windows::wide(replacement).c_str(), windows::wide(target).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                    ? 0
                    : lastError();
    }
    return error == ERROR_NOT_SAME_DEVICE ? kOtherVolume : error;
}

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
