// The hold on the original against writers, as SQLite's writers on POSIX take their locks: a
// classic record lock for writing, from any descriptor of any process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/open_file.h"
#include "platform/sqlite_files.h"
#include "support/test_support.h"

namespace {

// Whether a writer could lock `range` for writing through a descriptor of its own.
bool writerCouldLock(const std::string& path, const platform::ByteRange& range) {
    const int fd = ::open(path.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(range.offset);
    lock.l_len = static_cast<off_t>(range.length);
    const bool locked = ::fcntl(fd, F_SETLK, &lock) == 0;
    ::close(fd);
    return locked;
}

// A classic record lock is dropped by the first close() of any descriptor of the process on the
// file; the hold must outlive another open and close of the original (a copy of it, say).
TEST(RecordLocks, HoldAgainstWritersOutlivesAnotherDescriptorOfTheFile) {
    testsupport::TempDir dir;
    const std::string path = dir.file("data.mdb");
    testsupport::writeBytes(path, std::string(4096, 'x'));
    const platform::ByteRange writers = platform::sqliteWriterLocks().front();
    ASSERT_TRUE(writerCouldLock(path, writers));

    std::unique_ptr<platform::ReadOnlyFile> held;
    ASSERT_FALSE(platform::ReadOnlyFile::open(path, held));
    ASSERT_FALSE(held->lockForReading(platform::sqliteWriterLocks()));
    EXPECT_FALSE(writerCouldLock(path, writers));
    ::close(::open(path.c_str(), O_RDONLY));
    EXPECT_FALSE(writerCouldLock(path, writers)) << "another descriptor's close let the writers in";
    held.reset();
    EXPECT_TRUE(writerCouldLock(path, writers));
}

}  // namespace
