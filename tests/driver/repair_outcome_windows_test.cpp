// Whole repairs on Windows: its own ways of passing the command line and of failing, each with
// the log compared line by line and the original checked byte by byte.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <thread>
#include <vector>

#include "driver/repair_fixture.h"
#include "support/windows/started_process.h"
#include "platform/system_error.h"
#include "platform/windows/wide_text.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using RepairOutcome = RepairFixture;
using platform::windows::wide;

namespace {

// Another program's handle on a file, opened without sharing, as the host holds its data file.
class HeldWithoutSharing {
public:
    explicit HeldWithoutSharing(const std::string& path)
        : handle_(CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldWithoutSharing() {
        if (held()) CloseHandle(handle_);
    }
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

std::string namesIn(const std::string& folder) {
    std::string names;
    for (const auto& entry : fs::directory_iterator(testsupport::pathOf(folder)))
        names += testsupport::utf8Of(entry.path().filename()) + " ";
    return names;
}

int runCommandLine(const std::string& program, const std::string& line) {
    testsupport::StartedProcess repair(program, line, {}, {});
    return repair.wait();
}

}  // namespace

TEST_F(RepairOutcome, DataFileHeldOpenWithoutSharingIsLeftAsItIs) {
    const std::string file = dataFile("design");
    const std::string before = testsupport::readBytes(file);
    Lines lines;
    {
        HeldWithoutSharing host(file);
        ASSERT_TRUE(host.held());
        const auto result = repairFile(file, kDesignKey);
        EXPECT_EQ(result.exitCode, 1);
        lines = logMessages();
    }
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(testsupport::readBytes(file), before);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を最適化できませんでした。", 0), 0U) << lines[0];
    EXPECT_NE(lines[0].find("'" + file + "'"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("(" + platform::systemErrorText(ERROR_SHARING_VIOLATION) + ")"), std::string::npos)
        << lines[0];
    EXPECT_EQ(lines.back(), "ファイル　(" + file + ") を修復できませんでした。");
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << "the host has let it go";
}

// Another program that opens a file for a moment and reads it, as a virus scanner or the search
// indexer does with each new or changed file: read access, sharing reads only, so that the file
// can be read but not renamed over while it is held. `then` runs the moment it lets go.
class HeldLikeAScanner {
public:
    HeldLikeAScanner(const std::string& path, std::chrono::milliseconds holdFor, std::function<void()> then)
        : handle_(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)),
          release_([this, holdFor, then] {
              std::this_thread::sleep_for(holdFor);
              CloseHandle(handle_);
              if (then) then();
          }) {}
    ~HeldLikeAScanner() { release_.join(); }
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
    std::thread release_;
};

// What a commit does to the file's header: its change counter (bytes 24 to 27) moves on.
void commitAWrite(const std::string& path) {
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    unsigned char counter[4] = {};
    DWORD done = 0;
    OVERLAPPED at{};
    at.Offset = 24;
    ReadFile(file, counter, 4, &done, &at);
    ++counter[3];
    WriteFile(file, counter, 4, &done, &at);
    CloseHandle(file);
}

struct ScannerHold {
    const char* name;
    std::chrono::milliseconds holdFor;
    bool hostCommitsAfter;  // the host writes to the file the moment the scanner lets it go
    int exitCode;           // the hold is waited out, or it outlasts the wait and the original stays
    const char* reason;     // in the log when the original stays, after its name
};

void PrintTo(const ScannerHold& hold, std::ostream* os) { *os << hold.name; }

class ScannerHolds : public RepairFixture, public ::testing::WithParamInterface<ScannerHold> {};

// The rename that waits out a scanner has let go of the original: a write the host commits
// meanwhile is found by the check made again before each try, and the original stays with it.
TEST_P(ScannerHolds, AreWaitedOutForAWhile) {
    const std::string file = dataFile("design");
    damage(file, kDesignKey, {"drop-index", "T000", "Key02"});
    const std::string before = testsupport::readBytes(file);
    std::function<void()> host;
    if (GetParam().hostCommitsAfter) host = [&file] { commitAWrite(file); };
    int exitCode = -1;
    {
        const HeldLikeAScanner scanner(file, GetParam().holdFor, host);
        ASSERT_TRUE(scanner.held());
        exitCode = repairFile(file, kDesignKey).exitCode;
    }
    ASSERT_EQ(exitCode, GetParam().exitCode) << logText();
    if (exitCode == 0) {
        EXPECT_TRUE(markerExists());
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        return;
    }
    EXPECT_FALSE(markerExists());
    std::string left = before;
    if (GetParam().hostCommitsAfter) ++left[27];
    EXPECT_EQ(testsupport::readBytes(file), left);
    const Lines lines = logMessages();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を置き換えできませんでした。ファイル '" + file + "' " + GetParam().reason, 0),
              0U)
        << lines[0];
    EXPECT_EQ(lines.back(), "ファイル　(" + file + ") を修復できませんでした。");
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ScannerHolds,
    ::testing::Values(ScannerHold{"ForAMoment", std::chrono::milliseconds(3000), false, 0, ""},
                      ScannerHold{"LongerThanTheWait", std::chrono::milliseconds(12000), false, 1, "を置き換えられません ("},
                      ScannerHold{"ThenTheHostWrites", std::chrono::milliseconds(3000), true, 1,
                                  "は修復中に他のプログラムによって変更されたため、置き換えませんでした。"}),
    [](const ::testing::TestParamInfo<ScannerHold>& info) { return info.param.name; });

TEST_F(RepairOutcome, FolderWhereTheScratchCopyGoesEndsTheRunAndStays) {
    // An empty one is removed as a leftover would be; one that holds something is not the tool's.
    const std::string file = dataFile("design");
    fs::create_directories(testsupport::pathOf(scratchPath()));
    testsupport::writeBytes(scratchPath() + "\\kept.txt", "someone's");
    const Lines lines = failedRepair(file, kDesignKey);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("'" + scratchPath() + "'"), std::string::npos) << lines[0];
    EXPECT_EQ(testsupport::readBytes(scratchPath() + "\\kept.txt"), "someone's");
}

TEST_F(RepairOutcome, NameTheCodePageCannotHoldIsRepairedAndLoggedWithStandIns) {
    // Hangul is not in code page 932: the log writes a stand-in for each, and the repair is not hurt.
    const std::string file = dataFile("design", "자료 설계書.mdb");
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());

    const std::string absent = tool_.file("data/없음.mdb");
    EXPECT_EQ(repairFile(absent, kDesignKey).exitCode, 1);
    const Lines lines = logMessages();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "修復するファイル　(" + tool_.file("data/??.mdb") + ") がありません。");
}

// Deep folders of Japanese names: past MAX_PATH (260 characters), and past the 1,040 bytes of
// UTF-8 that SQLite's default layer on Windows takes.
struct DeepPath {
    const char* name;
    std::string folder;          // each level's name, before its number
    std::size_t overCharacters;  // UTF-16 units, as Windows counts a path
    std::size_t overBytes;       // UTF-8 bytes, as SQLite counts it
};

class DeepPaths : public RepairFixture, public ::testing::WithParamInterface<DeepPath> {};

TEST_P(DeepPaths, AreRepaired) {
    const DeepPath& deep = GetParam();
    std::string name = "設計書.mdb";
    const auto shallow = [&] {
        const std::string path = tool_.file("data/" + name);
        return wide(path).size() <= deep.overCharacters || path.size() <= deep.overBytes;
    };
    while (shallow()) name = deep.folder + std::to_string(name.size()) + "/" + name;
    const std::string file = dataFile("design", name);
    EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    EXPECT_TRUE(markerExists());
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

INSTANTIATE_TEST_SUITE_P(Windows, DeepPaths,
                         ::testing::Values(DeepPath{"Over260Characters", "長いフォルダの名前 ", 260, 0},
                                           DeepPath{"Over1100Utf8Bytes", "営業部の顧客管理資料と設計書", 0, 1100}),
                         [](const ::testing::TestParamInfo<DeepPath>& info) { return info.param.name; });

// The host writes to the file at moments spread over a repair, with no pause to place it: its
// write fails as on any busy file, or the repair sees it and leaves the file, but it is never lost.
TEST_F(RepairOutcome, HostWritingDuringTheRepairIsNeverLost) {
    const std::string file = dataFile("design");
    damage(file, kDesignKey, {"null-keys", "T041", "3"});
    const std::string damaged = testsupport::readBytes(file);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    const std::string write = "UPDATE Lock SET Payload = 'written by the host' WHERE rowid = 1;";
    const std::string seen = "SELECT count(*) FROM Lock WHERE Payload = 'written by the host'";

    int written = 0;
    for (int step = 0; step <= 10; ++step) {
        const auto after = took * step / 10;
        SCOPED_TRACE("the host wrote after " + std::to_string(after.count()) + " ms");
        testsupport::writeBytes(file, damaged);
        testsupport::StartedProcess repair({programPath(), "Data Source=" + file + ";Database Password=" + kDesignKey},
                                           {}, {});
        std::this_thread::sleep_for(after);
        const testsupport::ProcessResult host = testsupport::runSqlite3({file, write});
        const int ending = repair.wait();
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        if (host.exitCode != 0) {
            EXPECT_NE(host.err.find("database is locked"), std::string::npos) << host.err;
            continue;
        }
        ++written;
        EXPECT_EQ(testsupport::sqlite3Query(file, seen), "1") << "the host's write was lost; the repair ended with "
                                                               << ending << ": " << logText();
    }
    EXPECT_GT(written, 0) << "no moment let the host write";
    std::cout << "[ windows  ] the host wrote at " << written << " of 11 moments; at the others its file was busy\n";
}

// The host writing in a loop, each write a row of its own, from the start of a repair that loses
// rows (so that it keeps the damaged original beside the file) to its end: on the tool's volume,
// and on another (QN_OTHER_VOLUME, see scripts/wine-session), where the repaired copy is copied
// beside the file before it is renamed. Every write that committed is in the file at the path
// afterwards, and the damaged original is kept whole when the file was replaced.
struct HostLoop {
    const char* name;
    bool otherVolume;
};

void PrintTo(const HostLoop& loop, std::ostream* os) { *os << loop.name; }

class HostWritingInALoop : public RepairFixture, public ::testing::WithParamInterface<HostLoop> {};

TEST_P(HostWritingInALoop, LosesNoWrite) {
    std::string folder = tool_.file("data");
    if (GetParam().otherVolume) {
        const char* volume = std::getenv("QN_OTHER_VOLUME");
        if (volume == nullptr) GTEST_SKIP() << "no other volume (/dev/shm shares the build's file system)";
        folder = std::string(volume) + "\\qn-" + std::to_string(GetCurrentProcessId());
        fs::create_directories(testsupport::pathOf(folder));
    }
    const std::string file = folder + "\\設計書.mdb";
    testsupport::qndb({"create", file, "design", "--rows", "1000"});
    zeroTableLeaf(file, "T000");

    std::vector<int> committed;
    int ending = -1;
    {
        testsupport::StartedProcess repair({programPath(), "Data Source=" + file + ";Database Password=" + kDesignKey},
                                           {}, {});
        for (int write = 1; WaitForSingleObject(repair.process(), 0) == WAIT_TIMEOUT; ++write) {
            const testsupport::ProcessResult host = testsupport::runSqlite3(
                {"-cmd", ".timeout 0", file,
                 "INSERT INTO Lock VALUES('host " + std::to_string(write) + "', 'written by the host');"});
            if (host.exitCode == 0) committed.push_back(write);
        }
        ending = repair.wait();
    }
    SCOPED_TRACE("the repair ended with " + std::to_string(ending) + "; " + std::to_string(committed.size()) +
                 " writes committed");
    ASSERT_TRUE(ending == 1 || ending == 2) << logText();
    for (const int write : committed)
        EXPECT_EQ(testsupport::sqlite3Query(file, "SELECT count(*) FROM Lock WHERE A000 = 'host " + std::to_string(write) + "'"),
                  "1")
            << "write " << write << " was lost";
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(testsupport::pathOf(folder)))
        if (testsupport::utf8Of(entry.path().filename()).find(".damaged-") != std::string::npos)
            kept.push_back(testsupport::utf8Of(entry.path()));
    ASSERT_EQ(kept.size(), ending == 2 ? 1U : 0U) << namesIn(folder);
    // Replaced, the file holds what the original held at the last check, which the kept copy is:
    // the writes that committed before it, and no later one.
    const std::string hostRows = "SELECT count(*) FROM Lock WHERE A000 LIKE 'host %'";
    EXPECT_EQ(testsupport::sqlite3Query(file, hostRows), std::to_string(committed.size()));
    if (ending == 2) {
        EXPECT_EQ(testsupport::sqlite3Query(kept[0], hostRows), std::to_string(committed.size()));
    }
    std::cout << "[ windows  ] " << committed.size() << " writes committed during a repair that ended with " << ending
              << "\n";
    if (GetParam().otherVolume) fs::remove_all(testsupport::pathOf(folder));
}

INSTANTIATE_TEST_SUITE_P(Windows, HostWritingInALoop,
                         ::testing::Values(HostLoop{"OnTheToolsVolume", false}, HostLoop{"OnAnotherVolume", true}),
                         [](const ::testing::TestParamInfo<HostLoop>& info) { return info.param.name; });

// The host writes the command line itself: an unquoted path with blanks arrives whole, and one
// pair of quotes around it all is taken off.
struct RawCommandLine {
    const char* name;
    std::string afterProgram;  // FILE stands for the data file's path
};

class RawCommandLines : public RepairFixture, public ::testing::WithParamInterface<RawCommandLine> {};

TEST_P(RawCommandLines, ReachTheRepairAsWritten) {
    const std::string file = dataFile("design", "my folder/file one.mdb");
    std::string line = GetParam().afterProgram;
    line.replace(line.find("FILE"), 4, file);
    EXPECT_EQ(runCommandLine(programPath(), "\"" + programPath() + "\" " + line), 0) << logText();
    EXPECT_TRUE(markerExists());
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

INSTANTIATE_TEST_SUITE_P(
    Windows, RawCommandLines,
    ::testing::Values(RawCommandLine{"Unquoted", "Data Source=FILE;Database Password=QHWUNK5136"},
                      RawCommandLine{"QuotedWhole", "\"Data Source=FILE;Database Password=QHWUNK5136\""},
                      RawCommandLine{"BlanksBefore", "   Data Source=FILE;Database Password=QHWUNK5136"}),
    [](const ::testing::TestParamInfo<RawCommandLine>& info) { return info.param.name; });

// The repair ended from outside (TerminateProcess) at random moments: the path holds the original
// or the repaired file, never less, and the next run repairs it.
TEST_F(RepairOutcome, KilledAtRandomMomentsLeavesTheOriginalOrTheRepair) {
    const std::string file = dataFile("design");
    damage(file, kDesignKey, {"null-keys", "T041", "3", "drop-index", "T000", "Key02"});
    const std::string damaged = testsupport::readBytes(file);
    const std::string damagedView = describe(file, kDesignKey);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    const std::string repairedView = describe(file, kDesignKey);

    // QN_FAULT_CAMPAIGN=1: the campaign of docs/robustness.md.
    const int rounds = std::getenv("QN_FAULT_CAMPAIGN") != nullptr ? 200 : 12;
    std::mt19937 random(20261210);
    std::uniform_int_distribution<long long> moment(0, took.count());
    for (int round = 0; round < rounds; ++round) {
        testsupport::writeBytes(file, damaged);
        const long long after = moment(random);
        {
            testsupport::StartedProcess repair({programPath(), "Data Source=" + file + ";Database Password=" + kDesignKey},
                                               {}, {});
            std::this_thread::sleep_for(std::chrono::milliseconds(after));
            repair.terminate();
        }
        SCOPED_TRACE("killed after " + std::to_string(after) + " ms");
        ASSERT_EQ(testsupport::integrityCheck(file), "ok") << "beside it: " << namesIn(tool_.file("data"))
                                                           << "; in temp: " << namesIn(tool_.file("temp"));
        const std::string view = describe(file, kDesignKey);
        EXPECT_TRUE(view == damagedView || view == repairedView) << view;
        EXPECT_EQ(repairFile(file, kDesignKey).exitCode, 0) << logText();
        EXPECT_EQ(describe(file, kDesignKey), repairedView);
    }
}
