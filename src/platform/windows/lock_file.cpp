#include "platform/lock_file.h"

#include "platform/windows/handle.h"

namespace platform {

const int kHeldByAnother = ERROR_LOCK_VIOLATION;

struct LockFile::Handle : windows::Handle {
    using windows::Handle::Handle;
};

LockFile::LockFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
LockFile::~LockFile() = default;

SystemError LockFile::take(const std::string& path, std::unique_ptr<LockFile>& lock) {
    auto handle = std::make_unique<Handle>(windows::openFile(path, GENERIC_READ | GENERIC_WRITE, windows::kShareAll,
                                                             OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT));
    if (!handle->valid()) return SystemError::ofLastCall(path);
    OVERLAPPED first{};
    if (!LockFileEx(handle->h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first))
        return SystemError::ofLastCall(path);
    lock.reset(new LockFile(std::move(handle)));
    return {};
}

}  // namespace platform
