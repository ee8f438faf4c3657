// Start-up and the command line, seen from outside: what the host gets back.
#include <filesystem>
#include <regex>

#include "repair_fixture.h"

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

// Each case: the command line, and the data source it must be read as (the log names it).
struct CommandLineCase {
    const char* name;
    std::string commandLine;
    std::string dataSourceSeen;
};

class CommandLineRules : public RepairFixture, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineRules, KeysAreTakenOnlyAsSpelt) {
    const std::string file = dataFile("design");
    const std::string before = testsupport::readBytes(file);
    std::string commandLine = GetParam().commandLine;
    for (std::size_t at = commandLine.find("FILE"); at != std::string::npos; at = commandLine.find("FILE"))
        commandLine.replace(at, 4, file);

    const auto result = repair(commandLine);

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"修復するファイル　(" + GetParam().dataSourceSeen + ") がありません。"});
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(testsupport::readBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLineRules,
    ::testing::Values(CommandLineCase{"NoKey", "Database Password=QHWUNK5136;", ""},
                      CommandLineCase{"LowerCaseKey", "data source=FILE;Database Password=QHWUNK5136", ""},
                      CommandLineCase{"BlanksAroundEquals", "Data Source = FILE;Database Password=QHWUNK5136", ""},
                      CommandLineCase{"BlankAfterKey", "Data Source =FILE;Database Password=QHWUNK5136", ""},
                      CommandLineCase{"NoSemicolon", "Data Source=FILE", ""},
                      CommandLineCase{"ValueHoldingEquals", "Data Source=FILE=x;Database Password=QHWUNK5136", ""},
                      CommandLineCase{"LaterOccurrenceWins",
                                      "Data Source=FILE;Data Source=/elsewhere.mdb;Database Password=QHWUNK5136",
                                      "/elsewhere.mdb"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST_F(StartUp, PiecesInAnyOrderAndOthersIgnored) {
    const std::string file = dataFile("design");
    const auto result = repair("Provider=Jet;Database Password=" + kDesignKey + ";Data Source=" + file + ";Extra");
    EXPECT_EQ(result.exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
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
