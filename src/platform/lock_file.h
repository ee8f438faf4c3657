#pragma once

#include <memory>
#include <string>

namespace platform {

// A lock file held by one process at a time, for as long as the object lives (and no longer than
// the process: the system releases it when the process ends, however it ends).
class LockFile {
public:
    enum class Outcome { Held, HeldByAnother, Failed };
    // Creates the file at `path` if need be and takes its lock without waiting; a link there is not
    // followed. `error` is set (a lastSystemError() code) when the outcome is Failed.
    static Outcome take(const std::string& path, std::unique_ptr<LockFile>& lock, int& error);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

private:
    struct Handle;
    explicit LockFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace platform
