#include "platform/file_replacement.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/windows/handle.h"
#include "platform/transient_failures.h"
#include "platform/windows/wide_text.h"

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

int lastErrorUnless(BOOL done) { return done ? 0 : lastError(); }

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
SystemError replaceFile(const std::string& replacement, const std::string& target,
                        const std::function<void()>& letGoOfTarget) {
    int error = renameOverHeldTarget(replacement, target);
    if (error < 0) {
        // MoveFileExW renames over no open file, even one open to share deletion.
        if (letGoOfTarget) letGoOfTarget();
        error = lastErrorUnless(MoveFileExW(windows::wide(replacement).c_str(), windows::wide(target).c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    }
    return {error == ERROR_NOT_SAME_DEVICE ? kOtherVolume : error, target};
}

SystemError removeFile(const std::string& path) {
    const std::wstring name = windows::wide(path);
    return waitingOutHolders([&]() -> SystemError {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const int error = lastError();
            return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error, path};
        }
        return {lastErrorUnless((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(name.c_str())
                                                                             : DeleteFileW(name.c_str())),
                path};
    });
}

SystemError renameToNew(const std::string& from, const std::string& to) {
    return waitingOutHolders([&]() -> SystemError {
        const int error =
            lastErrorUnless(MoveFileExW(windows::wide(from).c_str(), windows::wide(to).c_str(), MOVEFILE_WRITE_THROUGH));
        return {error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error, to};
    });
}

// The target's attributes (hidden, archive ...) and its access list, as the host's users have
// them. The list is set as it stands, by the low-level call that recomputes nothing: its entries
// inherited from the data folder stay marked so, and hold once the file is renamed there, where
// SetNamedSecurityInfoW would have inherited afresh from the scratch folder's parents instead.
SystemError takeOverPermissions(const std::string& file, const std::string& original) {
    const std::wstring from = windows::wide(original);
    const std::wstring to = windows::wide(file);
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return SystemError::ofLastCall(original);
    if (!SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)))
        return SystemError::ofLastCall(file);
    DWORD size = 0;
    GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0) return SystemError::ofLastCall(original);
    std::vector<std::byte> descriptor(size);
    if (!GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size))
        return SystemError::ofLastCall(original);
    if (!SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data())) return SystemError::ofLastCall(file);
    return {};
}

bool isReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(windows::wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

SystemError flushFile(const std::string& path) {
    const windows::Handle file(windows::openFile(path, GENERIC_WRITE, windows::kShareAll, OPEN_EXISTING));
    if (!file.valid() || !FlushFileBuffers(file.h)) return SystemError::ofLastCall(path);
    return {};
}

// NTFS journals a folder's entries itself; there is no handle of a folder to flush.
SystemError flushFolder(const std::string&) { return {}; }

SystemError hardLink(const std::string& file, const std::string& link) {
    if (!CreateHardLinkW(windows::wide(link).c_str(), windows::wide(file).c_str(), nullptr)) return SystemError::ofLastCall(link);
    return {};
}

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
