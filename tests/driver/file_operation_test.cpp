#include <gtest/gtest.h>

#include <filesystem>

#include "driver/file_operation.h"
#include "common/module_state.h"
#include "support/recorded_boxes.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using repairM::FileOperation;

namespace {

class FileOperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        repairM::setToolDirectory(dir_.path().string());
        testsupport::writeBytes(dir_.file("a.mdb"), "data");
    }

    std::string logText() const { return testsupport::readLog(repairM::LogPath); }

    testsupport::TempDir dir_;
    testsupport::RecordedBoxes boxes_;
    std::string a_, b_;
};

}  // namespace

TEST_F(FileOperationTest, PathSplitsAnExistingFile) {
    a_ = dir_.file("a.mdb");
    EXPECT_TRUE(FileOperation("Path", a_, b_));
    EXPECT_EQ(a_, dir_.path().string());
    EXPECT_EQ(b_, "a.mdb");
    EXPECT_TRUE(boxes_.all().empty());
}

TEST_F(FileOperationTest, PathOnAMissingFileFailsWithLogAndBox) {
    a_ = dir_.file("missing.mdb");
    EXPECT_FALSE(FileOperation("Path", a_, b_));
    EXPECT_NE(logText().find(",Pathできませんでした。'" + dir_.file("missing.mdb") + "' というファイルが見つかりません。\r\n"),
              std::string::npos)
        << logText();
    ASSERT_EQ(boxes_.all().size(), 1U);
    EXPECT_NE(boxes_.all()[0].find("|64|エラー"), std::string::npos);
}

TEST_F(FileOperationTest, CommandLineModeShowsNoBox) {
    repairM::CommandLineMode = true;
    a_ = dir_.file("missing.mdb");
    EXPECT_FALSE(FileOperation("Name", a_, b_));
    repairM::CommandLineMode = false;
    EXPECT_TRUE(boxes_.all().empty());
    EXPECT_NE(logText().find("Nameできませんでした。"), std::string::npos);
}

TEST_F(FileOperationTest, TextOperationsWorkOnMissingFiles) {
    a_ = dir_.file("sub/missing.tmp");
    EXPECT_TRUE(FileOperation("ParentFolderName", a_, b_));
    EXPECT_EQ(b_, dir_.file("sub"));
    EXPECT_TRUE(FileOperation("ExName", a_, b_));
    EXPECT_EQ(b_, "tmp");
    EXPECT_FALSE(FileOperation("FileExists", a_, b_));
    EXPECT_FALSE(fs::exists(repairM::LogPath)) << "an existence query is not a failure";
}

TEST_F(FileOperationTest, CopyMoveDeleteAndFolders) {
    a_ = dir_.file("a.mdb");
    b_ = dir_.file("b.mdb");
    EXPECT_TRUE(FileOperation("CopyFile", a_, b_));
    EXPECT_EQ(testsupport::readBytes(b_), "data");
    b_ = dir_.file("c.mdb");
    EXPECT_TRUE(FileOperation("MoveFile", a_, b_));
    EXPECT_FALSE(fs::exists(dir_.file("a.mdb")));
    a_ = dir_.file("b.mdb");
    EXPECT_FALSE(FileOperation("MoveFile", a_, b_)) << "a move never overwrites";
    fs::permissions(a_, fs::perms::owner_read);
    EXPECT_TRUE(FileOperation("DeleteFile", a_, b_)) << "forced deletion takes read-only files";
    EXPECT_FALSE(fs::exists(a_));
    a_ = dir_.file("f");
    EXPECT_TRUE(FileOperation("CreateFolder", a_, b_));
    EXPECT_TRUE(FileOperation("FolderExists", a_, b_));
    EXPECT_FALSE(FileOperation("CreateFolder", a_, b_));
    b_ = dir_.file("g");
    EXPECT_TRUE(FileOperation("MoveFolder", a_, b_));
    EXPECT_TRUE(fs::is_directory(b_));
}

TEST_F(FileOperationTest, UnknownOperationDoesNothingAndSucceeds) {
    a_ = "x";
    b_ = "y";
    EXPECT_TRUE(FileOperation("path", a_, b_));
    EXPECT_EQ(a_ + b_, "xy");
}
