#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "database/file_replace.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

TEST(ReplaceFileAtomically, RenamesOverAndRemovesTheReplacement) {
    testsupport::TempDir dir;
    testsupport::writeBytes(dir.file("new"), "new");
    testsupport::writeBytes(dir.file("old"), "old");
    fs::permissions(dir.file("old"), fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms before = fs::status(dir.file("old")).permissions();
    replaceFileAtomically(dir.file("new"), dir.file("old"));
    EXPECT_EQ(testsupport::readBytes(dir.file("old")), "new");
    EXPECT_FALSE(fs::exists(dir.file("new")));
    EXPECT_EQ(fs::status(dir.file("old")).permissions(), before);
}

TEST(ReplaceFileAtomically, MissingOrReadOnlyTargetIsRefusedAndNothingMoves) {
    testsupport::TempDir dir;
    testsupport::writeBytes(dir.file("new"), "new");
    EXPECT_THROW(replaceFileAtomically(dir.file("new"), dir.file("absent")), std::runtime_error);
    testsupport::writeBytes(dir.file("old"), "old");
    fs::permissions(dir.file("old"), fs::perms::owner_read);
    EXPECT_THROW(replaceFileAtomically(dir.file("new"), dir.file("old")), std::runtime_error);
    EXPECT_EQ(testsupport::readBytes(dir.file("old")), "old");
    EXPECT_EQ(testsupport::readBytes(dir.file("new")), "new");
    fs::create_directory(dir.file("folder"));
    EXPECT_THROW(replaceFileAtomically(dir.file("new"), dir.file("folder")), std::runtime_error);
}

TEST(ReplaceFileAtomically, AcrossFileSystemsStagesBesideTheTarget) {
    // /dev/shm is a separate tmpfs on Linux; skip where the two share a file system.
    if (!testsupport::onPosix()) GTEST_SKIP() << "/dev/shm is Linux's";
    testsupport::TempDir dir;
    const fs::path shm = "/dev/shm";
    struct stat a {}, b {};
    if (::stat(shm.string().c_str(), &a) != 0 || ::stat(dir.path().string().c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const std::string replacement = (shm / ("qn-replace-" + std::to_string(testsupport::processId()))).string();
    testsupport::writeBytes(replacement, "new");
    testsupport::writeBytes(dir.file("old"), "old");
    replaceFileAtomically(replacement, dir.file("old"));
    EXPECT_EQ(testsupport::readBytes(dir.file("old")), "new");
    EXPECT_FALSE(fs::exists(replacement));
    EXPECT_FALSE(fs::exists(dir.file(".old.qnrepair")));
}

TEST(ReplaceFileAtomically, RefusalOfTheLastCheckMovesNothing) {
    testsupport::TempDir dir;
    testsupport::writeBytes(dir.file("new"), "new");
    testsupport::writeBytes(dir.file("old"), "old");
    ReplacementSteps steps;
    steps.lastCheck = [] { throw std::runtime_error("changed meanwhile"); };
    EXPECT_THROW(replaceFileAtomically(dir.file("new"), dir.file("old"), steps), std::runtime_error);
    EXPECT_EQ(testsupport::readBytes(dir.file("old")), "old");
    EXPECT_EQ(testsupport::readBytes(dir.file("new")), "new");
}
