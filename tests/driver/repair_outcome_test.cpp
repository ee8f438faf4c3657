// Whole repairs from the command line: the outcome for each kind of file and each failure,
// with the log compared line by line and the original checked byte by byte.
#include <filesystem>
#include <memory>

#include "platform/file_access.h"
#include "platform/lock_file.h"
#include "driver/repair_fixture.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
// Windows' own ways of failing are further rows, in repair_outcome_windows_test.cpp.
using RepairOutcome = RepairFixture;

TEST_F(RepairOutcome, DesignFileRepairedInPlace) {
    const std::string file = dataFile("design");
    const std::string pristine = describe(file, kDesignKey);

    const auto result = repairFile(file, kDesignKey);

    EXPECT_EQ(result.exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
    EXPECT_FALSE(logExists());
    EXPECT_EQ(testsupport::readBytes(markerPath()), "");
    EXPECT_FALSE(fs::exists(scratchPath())) << "the scratch copy became the original";
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    EXPECT_EQ(describe(file, kDesignKey), pristine);
}

TEST_F(RepairOutcome, WorkFileRepairedInPlace) {
    const std::string file = dataFile("work");
    const auto result = repairFile(file, kWorkKey);
    EXPECT_EQ(result.exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

TEST_F(RepairOutcome, KindsWithoutRebuildCompactButReportFailure) {
    const std::string file = dataFile("system");
    EXPECT_EQ(failedRepair(file, kSystemKey),
              (Lines{"システム設定ファイル　(" + file + ") を修復できませんでした。",
                     "ファイル　(" + file + ") を修復できませんでした。"}));
    EXPECT_TRUE(fs::exists(scratchPath())) << "the compacted copy stays in the scratch folder";
}

TEST_F(RepairOutcome, UnknownKeyCannotBeRepaired) {
    const std::string file = dataFile("SomeOtherKey");
    EXPECT_EQ(failedRepair(file, "SomeOtherKey"),
              (Lines{"このファイル　(" + file + ") は修復できません。", "ファイル　(" + file + ") を修復できませんでした。"}));
}

TEST_F(RepairOutcome, KeyDifferingOnlyInCaseIsUnknown) {
    const std::string file = dataFile("qhwunk5136");
    EXPECT_EQ(failedRepair(file, "qhwunk5136"),
              (Lines{"このファイル　(" + file + ") は修復できません。", "ファイル　(" + file + ") を修復できませんでした。"}));
}

TEST_F(RepairOutcome, WrongPasswordFailsAtCompactionWithTheEngineDescription) {
    const std::string file = dataFile("design");
    const Lines lines = failedRepair(file, kWorkKey);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "ファイル　(" + file + ") を最適化できませんでした。ファイル '" + file + "' のパスワードが違います。");
    EXPECT_EQ(lines[1], "ファイル　(" + file + ") を最適化できませんでした。");
    EXPECT_EQ(lines[2], "ファイル　(" + file + ") を修復できませんでした。");
}

TEST_F(RepairOutcome, MissingFileIsReportedAsSuch) {
    const std::string file = tool_.file("data/absent.mdb");
    const auto result = repairFile(file, kDesignKey);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(logMessages(), Lines{"修復するファイル　(" + file + ") がありません。"});
}

TEST_F(RepairOutcome, ForeignFileFailsAtCompaction) {
    const std::string file = tool_.file("data/notes.mdb");
    testsupport::writeBytes(file, "just some text, not a data file\n");
    const Lines lines = failedRepair(file, kDesignKey);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を最適化できませんでした。", 0), 0U) << lines[0];
    EXPECT_NE(lines[0].find("データ ファイルではないか、壊れています"), std::string::npos) << lines[0];
}

TEST_F(RepairOutcome, ScratchFileOfAnEarlierRunIsReplaced) {
    const std::string file = dataFile("design");
    fs::create_directories(tool_.file("temp"));
    testsupport::writeBytes(scratchPath(), "left over");
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

TEST_F(RepairOutcome, SecondRepairWhileOneHoldsTheScratchFolderFailsCleanly) {
    const std::string file = dataFile("design");
    fs::create_directories(tool_.file("temp"));
    std::unique_ptr<platform::LockFile> otherRepair;
    ASSERT_FALSE(platform::LockFile::take(tool_.file("temp/repair.lock"), otherRepair));
    testsupport::writeBytes(scratchPath(), "the other repair's copy");

    const Lines lines = failedRepair(file, kDesignKey);
    otherRepair.reset();

    ASSERT_EQ(lines.size(), 3U);
    EXPECT_NE(lines[0].find("別の修復が使用中です"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "ファイル　(" + file + ") を最適化できませんでした。");
    EXPECT_EQ(testsupport::readBytes(scratchPath()), "the other repair's copy") << "the other repair's copy is untouched";
}

TEST_F(RepairOutcome, ReadOnlyOriginalIsNotReplaced) {
    const std::string file = dataFile("design");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Lines lines = failedRepair(file, kDesignKey);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "ファイル　(" + file + ") を置き換えできませんでした。ファイル '" + file +
                            "' は読み取り専用のため置き換えられません。");
    EXPECT_EQ(lines[1], "設計書ファイル　(" + file + ") を置き換えできませんでした。");
    EXPECT_EQ(lines[2], "ファイル　(" + file + ") を修復できませんでした。");
}

TEST_F(RepairOutcome, SymlinkedOriginalHasItsTargetReplaced) {
    const std::string file = dataFile("design", "real/file.mdb");
    const std::string link = tool_.file("data/link.mdb");
    if (const std::string refused = testsupport::makeSymlink(file, link); !refused.empty())
        GTEST_SKIP() << "no symbolic links here: " << refused;
    EXPECT_EQ(repairFile(link, kDesignKey).exitCode, 0) << logText();
    EXPECT_TRUE(platform::isLink(link));
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

TEST_F(RepairOutcome, ReplacedFileKeepsThePermissionsOfTheOriginal) {
    const std::string file = dataFile("design");
    // As far as the system keeps them: Windows has only the read-only attribute.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::perms before = fs::status(file).permissions();
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    EXPECT_EQ(fs::status(file).permissions(), before);
}

TEST_F(RepairOutcome, JapaneseAndBlanksInThePath) {
    const std::string file = dataFile("design", "設計書 フォルダ/データ (1).mdb");
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
}
