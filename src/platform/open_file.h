#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
// or writing; false with lastSystemError() saying why when the system cannot tell. Only the volume
// and the file are set.
bool identityAt(const std::string& path, FileIdentity& identity);

struct ByteRange {
    std::int64_t offset;
    std::int64_t length;
};

// A file open for reading, shared with every program that opens it (reading, writing, renaming or
// removing it), closed when the object goes.
class ReadOnlyFile {
public:
    // The file at `path`; null with `error` set (a lastSystemError() code) when it cannot be opened.
    // Never waits for a writer, as a FIFO would make an open wait.
    static std::unique_ptr<ReadOnlyFile> open(const std::string& path, int& error);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Reads up to `size` bytes at `offset` into `buffer`. A short read goes on where it stopped and
    // a refused one is tried again (transient_failures.h): the bytes read, fewer than `size` only
    // where the file ends, or -1 with lastSystemError() saying why.
    std::int64_t readAt(void* buffer, std::size_t size, std::int64_t offset) const;
    bool isRegular() const;
    // False with lastSystemError() saying why when the system cannot tell.
    bool identity(FileIdentity& identity) const;
    // Holds `ranges` locked for reading until this object closes the file: no one can lock any byte
    // of them for writing meanwhile, and nothing else this process opens or closes ends the hold.
    // False when someone holds such a lock now.
    bool lockForReading(const std::vector<ByteRange>& ranges) const;

private:
    struct Handle;
    explicit ReadOnlyFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace platform
