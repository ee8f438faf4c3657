#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace platform {

// What tells one file from another, and one state of it from the next.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // in the system's finest unit
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` (what a link leads to), told without opening it for reading
// or writing. Only the volume and the file are set.
SystemError identityAt(const std::string& path, FileIdentity& identity);

struct ByteRange {
    std::int64_t offset;
    std::int64_t length;
};

// A file open for reading, shared with every program that opens it (reading, writing, renaming or
// removing it), closed when the object goes.
class ReadOnlyFile {
public:
    // The file at `path`, into `file`. Never waits for a writer, as a FIFO would make an open wait.
    static SystemError open(const std::string& path, std::unique_ptr<ReadOnlyFile>& file);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Reads up to `size` bytes at `offset` into `buffer`, and sets `read` to the bytes read, fewer
    // than `size` only where the file ends. A short read goes on where it stopped and a refused one
    // is tried again (transient_failures.h).
    SystemError readAt(void* buffer, std::size_t size, std::int64_t offset, std::int64_t& read) const;
    bool isRegular() const;
    SystemError identity(FileIdentity& identity) const;
    // Holds `ranges` locked for reading until this object closes the file: no one can lock any byte
    // of them for writing meanwhile, and nothing else this process opens or closes ends the hold.
    // Refused when someone holds such a lock now.
    SystemError lockForReading(const std::vector<ByteRange>& ranges) const;

private:
    struct Handle;
    ReadOnlyFile(std::unique_ptr<Handle> handle, std::string path);
    std::unique_ptr<Handle> handle_;
    std::string path_;
};

}  // namespace platform
