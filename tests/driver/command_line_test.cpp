// Start-up and the command line, seen from outside: what the host gets back.
#include <filesystem>
#include <regex>

#include "driver/repair_fixture.h"

namespace fs = std::filesystem;

using StartUp = RepairFixture;

TEST_F(StartUp, MissingWorkgroupFileEndsTheRunWithOneLine) {
    const std::string file = dataFile("design");
    fs::remove(tool_.file("QNsys.mdw"));
    const std::string before = testsupport::readBytes(file);

    const auto result = repairFile(file, kDesignKey);

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(logMessages(),
              std::vector<std::string>{"ファイル　(" + tool_.file("QNsys.mdw") + ") がありません、セットアップを確認してください。"});
    EXPECT_FALSE(markerExists());
    EXPECT_FALSE(fs::exists(tool_.file("temp"))) << "nothing is set up without the workgroup file";
    EXPECT_EQ(testsupport::readBytes(file), before);
}

TEST_F(StartUp, EveryRunDeletesThePreviousLogAndMarker) {
    testsupport::writeBytes(logPath(), "old line\r\n");
    testsupport::writeBytes(markerPath(), "");
    const auto result = repair("Data Source=" + tool_.file("data/none.mdb") + ";");

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(logMessages(), std::vector<std::string>{"修復するファイル　(" + tool_.file("data/none.mdb") + ") がありません。"});
}

TEST_F(StartUp, CreatesTheScratchFolder) {
    repair("Data Source=x;");
    EXPECT_TRUE(fs::is_directory(tool_.file("temp")));
}

TEST_F(StartUp, LogLinesCarryTimeOfDayAndSecondsSinceMidnight) {
    repair("Data Source=/no/such/file.mdb;");
    const std::string log = logText();
    // "HH:MM:SS,<seconds>,<message>\r\n" in the C locale the tests run in on Linux; Japanese
    // Windows writes the hour without a leading zero.
    const std::size_t first = log.find(',');
    const std::size_t second = log.find(',', first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_TRUE(std::regex_match(log.substr(0, first), std::regex("[0-9]?[0-9]:[0-9][0-9]:[0-9][0-9]"))) << log;
    const double seconds = std::stod(log.substr(first + 1, second - first - 1));
    EXPECT_GE(seconds, 0.0);
    EXPECT_LT(seconds, 86400.0);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

// Which keys count is the parser's (command_line_parse_test and its fuzzer); here, that a key it
// does not take leaves the data source empty and the file as it was.
TEST_F(StartUp, AKeyNotSpeltExactlyLeavesTheFileAlone) {
    const std::string file = dataFile("design");
    const std::string before = testsupport::readBytes(file);
    EXPECT_EQ(repair("data source=" + file + ";Database Password=" + kDesignKey).exitCode, 1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"修復するファイル　() がありません。"});
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(testsupport::readBytes(file), before);
}

TEST_F(StartUp, ArgumentsAreJoinedBySingleSpaces) {
    const std::string file = dataFile("design", "my folder/file one.mdb");
    const auto result = testsupport::run(
        {programPath(), "Data", "Source=" + tool_.file("data/my"), "folder/file",
         "one.mdb;Database", "Password=" + kDesignKey});
    EXPECT_EQ(result.exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}
