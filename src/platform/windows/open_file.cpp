#include "platform/open_file.h"

#include "platform/windows/handle.h"

namespace platform {

struct ReadOnlyFile::Handle : windows::Handle {
    using windows::Handle::Handle;
};

SystemError identityAt(const std::string& path, FileIdentity& identity) {
    // No access to the contents: a handle that takes no share from anyone, for a folder as well.
    const windows::Handle file(
        windows::openFile(path, FILE_READ_ATTRIBUTES, windows::kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.h, &info)) return SystemError::ofLastCall(path);
    identity = FileIdentity{};
    identity.volume = info.dwVolumeSerialNumber;
    identity.file = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return {};
}

ReadOnlyFile::ReadOnlyFile(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}
ReadOnlyFile::~ReadOnlyFile() = default;

SystemError ReadOnlyFile::open(const std::string& path, std::unique_ptr<ReadOnlyFile>& file) {
    auto handle = std::make_unique<Handle>(windows::openFile(path, GENERIC_READ, windows::kShareAll, OPEN_EXISTING));
    if (!handle->valid()) return SystemError::ofLastCall(path);
    file.reset(new ReadOnlyFile(std::move(handle), path));
    return {};
}

SystemError ReadOnlyFile::readAt(void* buffer, std::size_t size, std::int64_t offset, std::int64_t& read) const {
    read = windows::readAt(handle_->h, buffer, size, offset);
    return read < 0 ? SystemError::ofLastCall(path_) : SystemError();
}

bool ReadOnlyFile::isRegular() const {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(handle_->h) == FILE_TYPE_DISK && GetFileInformationByHandle(handle_->h, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

SystemError ReadOnlyFile::identity(FileIdentity& identity) const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle_->h, &info)) return SystemError::ofLastCall(path_);
    identity.volume = info.dwVolumeSerialNumber;
    identity.file = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    identity.size = static_cast<std::int64_t>(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    identity.modified = static_cast<std::int64_t>(
        static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
    return {};
}

SystemError ReadOnlyFile::lockForReading(const std::vector<ByteRange>& ranges) const {
    for (const ByteRange& range : ranges) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(range.offset & 0xffffffff);
        position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(range.offset) >> 32);
        // Without LOCKFILE_EXCLUSIVE_LOCK: a lock for reading, which others' locks for reading share.
        if (!LockFileEx(handle_->h, LOCKFILE_FAIL_IMMEDIATELY, 0, static_cast<DWORD>(range.length), 0, &position))
            return SystemError::ofLastCall(path_);
    }
    return {};
}

}  // namespace platform
