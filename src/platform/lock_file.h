#pragma once

#include <memory>
#include <string>

#include "platform/system_error.h"

namespace platform {

// A lock file held by one process at a time, for as long as the object lives (and no longer than
// the process: the system releases it when the process ends, however it ends).
class LockFile {
public:
    // Creates the file at `path` if need be and takes its lock into `lock` without waiting; a link
    // there is not followed. kHeldByAnother when another process holds it.
    static SystemError take(const std::string& path, std::unique_ptr<LockFile>& lock);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

private:
    struct Handle;
    explicit LockFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

extern const int kHeldByAnother;

}  // namespace platform
