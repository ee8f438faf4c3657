// The platform layer's contract, the same on every system: what each call does to files, and
// what it reports when the system refuses, with real refusals (a name taken, a file held, a lock
// held, another volume) rather than imitations of them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/file_access.h"
#include "platform/file_replacement.h"
#include "platform/lock_file.h"
#include "platform/open_file.h"
#include "platform/paths.h"
#include "support/test_support.h"
#include "platform/transient_failures.h"

namespace {

namespace fs = std::filesystem;

class PlatformFiles : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.file(name);
        testsupport::writeBytes(path, bytes);
        return path;
    }
    std::string path(const std::string& name) const { return dir_.file(name); }
    static bool exists(const std::string& path) { return fs::exists(fs::symlink_status(testsupport::pathOf(path))); }

    testsupport::TempDir dir_;
};

TEST_F(PlatformFiles, ReplaceMovesOverInOneStepAndNamesTheTargetWhenItCannot) {
    const std::string target = file("old", "old");
    EXPECT_FALSE(platform::replaceFile(file("new", "new"), target, {}));
    EXPECT_EQ(testsupport::readBytes(target), "new");
    EXPECT_FALSE(exists(path("new")));

    const platform::SystemError missing = platform::replaceFile(path("absent"), target, {});
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing.file(), target);
    EXPECT_FALSE(missing.text().empty());
    EXPECT_EQ(testsupport::readBytes(target), "new");
}

// The repair holds the original against writers up to the rename: the rename goes over it, and
// lets the hold go first only where the system renames over no open file.
TEST_F(PlatformFiles, ReplaceGoesOverAnOriginalHeldOpen) {
    const std::string target = file("old", "old");
    std::unique_ptr<platform::ReadOnlyFile> held;
    ASSERT_FALSE(platform::ReadOnlyFile::open(target, held));
    ASSERT_FALSE(held->lockForReading({{0, 1}}));
    bool letGo = false;
    const platform::SystemError error = platform::replaceFile(file("new", "new"), target, [&] {
        letGo = true;
        held.reset();
    });
    EXPECT_FALSE(error) << error.text();
    EXPECT_EQ(testsupport::readBytes(target), "new");
    if (testsupport::onPosix()) {
        EXPECT_FALSE(letGo);
        char bytes[3] = {};
        std::int64_t read = 0;
        EXPECT_FALSE(held->readAt(bytes, 3, 0, read));
        EXPECT_EQ(std::string(bytes, 3), "old") << "the hold reads the file it held";
    }
}

TEST_F(PlatformFiles, ReplaceAcrossVolumesMovesNothingAndSaysSo) {
    std::string elsewhere;
    if (testsupport::onPosix()) {
        elsewhere = "/dev/shm/qn-platform-" + std::to_string(testsupport::processId());
    } else if (const char* volume = std::getenv("QN_OTHER_VOLUME")) {
        elsewhere = std::string(volume) + "\\qn-platform-" + std::to_string(testsupport::processId());
    }
    platform::FileIdentity here, there;
    fs::create_directories(testsupport::pathOf(elsewhere.empty() ? dir_.file("x") : elsewhere));
    if (elsewhere.empty() || platform::identityAt(elsewhere, there) || platform::identityAt(path(""), here) ||
        here.volume == there.volume)
        GTEST_SKIP() << "no other volume here";
    const std::string replacement = elsewhere + platform::kSeparator + "new";
    testsupport::writeBytes(replacement, "new");
    const std::string target = file("old", "old");
    EXPECT_EQ(platform::replaceFile(replacement, target, {}).code(), platform::kOtherVolume);
    EXPECT_EQ(testsupport::readBytes(target), "old");
    EXPECT_EQ(testsupport::readBytes(replacement), "new");
    fs::remove_all(testsupport::pathOf(elsewhere));
}

// Files made beside the data file are made new: a name that is taken stays as it was.
TEST_F(PlatformFiles, NewNamesAreNeverTakenOver) {
    const std::string source = file("source", "copied");
    const std::string taken = file("taken", "someone's");
    EXPECT_EQ(platform::copyFile(source, taken).code(), platform::kExists);
    EXPECT_EQ(platform::renameToNew(source, taken).code(), platform::kExists);
    EXPECT_EQ(platform::createNew(taken).code(), platform::kExists);
    EXPECT_EQ(testsupport::readBytes(taken), "someone's");
    EXPECT_EQ(testsupport::readBytes(source), "copied");

    EXPECT_FALSE(platform::copyFile(source, path("copy")));
    EXPECT_EQ(testsupport::readBytes(path("copy")), "copied");
    EXPECT_FALSE(platform::renameToNew(path("copy"), path("moved")));
    EXPECT_EQ(testsupport::readBytes(path("moved")), "copied");
    EXPECT_FALSE(exists(path("copy")));
    EXPECT_EQ(platform::copyFile(path("absent"), path("copy")).file(), path("absent"));
}

TEST_F(PlatformFiles, RemoveTakesFilesAndEmptyFoldersAndNothingElse) {
    EXPECT_FALSE(platform::removeFile(path("absent")));
    EXPECT_FALSE(platform::removeFile(file("file", "x")));
    EXPECT_FALSE(exists(path("file")));
    fs::create_directories(testsupport::pathOf(path("empty")));
    EXPECT_FALSE(platform::removeFile(path("empty")));
    EXPECT_FALSE(exists(path("empty")));
    fs::create_directories(testsupport::pathOf(path("full")));
    file("full/inside", "kept");
    const platform::SystemError error = platform::removeFile(path("full"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error.file(), path("full"));
    EXPECT_EQ(testsupport::readBytes(path("full/inside")), "kept");
}

TEST_F(PlatformFiles, LinksAreResolvedOrRemovedAsLinks) {
    const std::string target = file("target", "kept");
    if (const std::string refused = testsupport::makeSymlink(target, path("link")); !refused.empty())
        GTEST_SKIP() << "no symbolic links here: " << refused;
    EXPECT_TRUE(platform::isLink(path("link")));
    EXPECT_FALSE(platform::isLink(target));
    std::string resolved;
    EXPECT_FALSE(platform::resolveLinks(path("link"), resolved));
    platform::FileIdentity viaLink, direct;
    EXPECT_FALSE(platform::identityAt(resolved, viaLink));
    EXPECT_FALSE(platform::identityAt(target, direct));
    EXPECT_EQ(viaLink, direct);
    EXPECT_FALSE(platform::removeFile(path("link")));
    EXPECT_FALSE(exists(path("link")));
    EXPECT_EQ(testsupport::readBytes(target), "kept");
    EXPECT_EQ(platform::resolveLinks(path("absent"), resolved).file(), path("absent"));
}

TEST_F(PlatformFiles, IdentityTellsFilesApartAndNamesOfOneFileAlike) {
    const std::string one = file("one", "x");
    ASSERT_FALSE(platform::hardLink(one, path("second name")));
    platform::FileIdentity first, second, other;
    EXPECT_FALSE(platform::identityAt(one, first));
    EXPECT_FALSE(platform::identityAt(path("second name"), second));
    EXPECT_FALSE(platform::identityAt(file("other", "x"), other));
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    EXPECT_EQ(platform::identityAt(path("absent"), other).file(), path("absent"));
}

TEST_F(PlatformFiles, ALockFileIsHeldByOneTakerAtATime) {
    std::unique_ptr<platform::LockFile> first, second;
    ASSERT_FALSE(platform::LockFile::take(path("lock"), first));
    EXPECT_EQ(platform::LockFile::take(path("lock"), second).code(), platform::kHeldByAnother);
    EXPECT_EQ(second, nullptr);
    first.reset();
    EXPECT_FALSE(platform::LockFile::take(path("lock"), second));
}

TEST_F(PlatformFiles, ReadsAndAppendsSayWhichFile) {
    const std::string log = path("log");
    EXPECT_FALSE(platform::appendToFile(log, "one\n"));
    EXPECT_FALSE(platform::appendToFile(log, "two\n"));
    EXPECT_EQ(testsupport::readBytes(log), "one\ntwo\n");
    std::unique_ptr<platform::ReadOnlyFile> opened;
    ASSERT_FALSE(platform::ReadOnlyFile::open(log, opened));
    char bytes[16] = {};
    std::int64_t read = 0;
    EXPECT_FALSE(opened->readAt(bytes, sizeof bytes, 4, read));
    EXPECT_EQ(std::string(bytes, static_cast<std::size_t>(read)), "two\n") << "a read past the end stops there";
    EXPECT_EQ(platform::ReadOnlyFile::open(path("absent"), opened).file(), path("absent"));
    EXPECT_EQ(platform::appendToFile(path("absent/log"), "x").file(), path("absent/log"));
}

TEST(Retries, ATransferIsTriedFourTimesInAll) {
    platform::Retries retries(platform::Retries::For::Transfer);
    int more = 0;
    while (retries.again()) ++more;
    EXPECT_EQ(more, 3);
}

}  // namespace
