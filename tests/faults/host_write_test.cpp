// The host at work on the file while a repair runs: a write landing between the compaction and
// the replacement, a transaction left open across the repair, a lock held throughout, a host
// killed inside a write. The host's write is never lost: the repair either refuses to replace the
// file, saying so, or keeps the host out while it replaces the file. Each runs with the host in
// each journal mode it may use: a rollback journal deleted or kept (zeroed) after each
// transaction, or a write-ahead log.

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "faults/fault_fixture.h"
#include "support/sqlite3_session.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

// The statement the host writes with, and how to see that it was kept.
const std::string kHostWrite = "UPDATE Lock SET Payload = 'written by the host' WHERE rowid = 1;";
const std::string kHostWriteSeen = "SELECT count(*) FROM Lock WHERE Payload = 'written by the host'";

struct HostMode {
    const char* name;
    std::string journalMode;  // as PRAGMA journal_mode takes it
    // A lossy repair (a table leaf zeroed) keeps the damaged original beside the file before the
    // last check: by a hard link, or by a copy where links are refused.
    bool lossy = false;
    bool linksRefused = false;
    bool onOtherFileSystem = false;  // the repaired copy is staged beside the file, then renamed
};

void PrintTo(const HostMode& mode, std::ostream* os) { *os << mode.name; }

class HostWrites : public FaultFixture, public ::testing::WithParamInterface<HostMode> {
protected:
    // `sql` as the host runs it: in its journal mode.
    std::string inHostMode(const std::string& sql) const {
        return "PRAGMA journal_mode=" + GetParam().journalMode + ";" + sql;
    }
    // What the shell prints for that PRAGMA.
    std::string modeEcho() const {
        std::string echo = GetParam().journalMode;
        for (char& c : echo) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return echo + "\n";
    }

    int expectedExit() const { return GetParam().lossy ? 2 : 0; }

    // A file to repair as the host leaves it after a write of its own: in WAL mode, or with the
    // zeroed journal it keeps, as the case may be.
    std::string fileLastWrittenByTheHost() {
        std::string file = fileNeedingRepair("design", kDesignKey);
        if (GetParam().onOtherFileSystem) file = movedToAnotherFileSystem(file);
        if (file.empty()) return file;
        if (GetParam().lossy) zeroTableLeaf(file, "T000");
        if (GetParam().linksRefused) shimConditions_.push_back("QN_FAULT_NO_LINK=1");
        const testsupport::ProcessResult host =
            testsupport::runSqlite3({file, inHostMode("UPDATE Data SET Payload = 'by the host' WHERE rowid = 1")});
        EXPECT_EQ(host.exitCode, 0) << host.err;
        return file;
    }

    void expectNotCompactedBecauseInUse(const std::string& file) {
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], "ファイル　(" + file + ") を最適化できませんでした。ファイル '" + file +
                                "' は他のプロセスが使用中です。");
        EXPECT_EQ(lines[1], "ファイル　(" + file + ") を最適化できませんでした。");
        EXPECT_EQ(lines[2], "ファイル　(" + file + ") を修復できませんでした。");
    }

    // The run's last lines (a lossy one first says what it could not bring back).
    void expectNotReplacedBecause(const std::string& file, const std::string& reason) {
        const std::vector<std::string> lines = logMessages();
        ASSERT_GE(lines.size(), 3U);
        const std::size_t at = lines.size() - 3;
        EXPECT_EQ(lines[at], "ファイル　(" + file + ") を置き換えできませんでした。ファイル '" + file + "' は" + reason +
                                 "ため、置き換えませんでした。");
        EXPECT_EQ(lines[at + 1], "設計書ファイル　(" + file + ") を置き換えできませんでした。");
        EXPECT_EQ(lines[at + 2], "ファイル　(" + file + ") を修復できませんでした。");
        EXPECT_TRUE(keptOriginals(file).empty()) << "a damaged original kept beside the original, still in place";
    }

    // A run that replaced the file: with the damaged original kept whole beside it when lossy.
    void expectReplaced(const Ending& ending, const std::string& file, const RepairReference& reference) {
        EXPECT_EQ(ending.code, expectedExit()) << testsupport::readBytes(logPath()) << ending.errors;
        EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired);
        EXPECT_TRUE(sidecarsOf(file).empty()) << "what was beside the old file is beside the repaired one";
        const std::vector<std::string> kept = keptOriginals(file);
        ASSERT_EQ(kept.size(), GetParam().lossy ? 1U : 0U);
        for (const std::string& original : kept) EXPECT_TRUE(testsupport::readBytes(original) == reference.before);
        removeKeptOriginals(file);
    }

    bool hostWriteKept(const std::string& file) { return testsupport::sqlite3Query(file, kHostWriteSeen) == "1"; }
};

// The calls from the end of the compaction (the first write transaction on the copy once it is
// made, which makes its journal) to the rename that replaces the original, page writes aside: in a quick run,
// a handful spread over the rebuild and every one from the replacement's start (the scratch
// copy's flush: the copies made beside the original, the last check, the rename).
std::vector<long> pausePoints(const RepairReference& reference, long rename) {
    const auto on = [](const ShimCall& c, const std::string& tail) {
        return c.file.size() >= tail.size() && c.file.compare(c.file.size() - tail.size(), tail.size(), tail) == 0;
    };
    long made = 0;
    long compacted = 0;
    long replacing = 0;
    for (const ShimCall& c : reference.calls) {
        if (made == 0 && c.call == "create" && on(c, "/temp/repair.mdb")) made = c.number;
        if (made > 0 && compacted == 0 && on(c, "/temp/repair.mdb-journal")) compacted = c.number;
        if (c.number < rename && c.call == "fsync" && on(c, "/temp/repair.mdb")) replacing = c.number;
    }
    EXPECT_TRUE(compacted > 0 && replacing > 0) << "no rebuild, or no replacement, to write during";
    std::vector<long> points;
    for (const ShimCall& c : reference.calls)
        if (compacted > 0 && c.number >= compacted && c.number <= rename && c.call != "pwrite") points.push_back(c.number);
    if (campaign()) return points;
    std::vector<long> sample;
    const std::size_t stride = std::max<std::size_t>(1, points.size() / 6);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (i % stride == 0 || points[i] >= replacing) sample.push_back(points[i]);
    return sample;
}

TEST_P(HostWrites, WriteBetweenCompactionAndReplacementIsNeverLost) {
    const std::string file = fileLastWrittenByTheHost();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const RepairReference reference = referenceRepair(file, kDesignKey, expectedExit());
    const long rename = reference.replacingRename(file);
    int refused = 0;
    int keptOut = 0;
    for (const long at : pausePoints(reference, rename)) {
        const auto call = std::find_if(reference.calls.begin(), reference.calls.end(),
                                       [&](const ShimCall& c) { return c.number == at; });
        SCOPED_TRACE("host wrote before call " + std::to_string(at) + ": " + call->call + " " + call->file);
        putBack(file, reference.before, reference.sidecarsBefore);
        Child repair = startFaultedRepair(file, kDesignKey, at, "stop");
        ASSERT_TRUE(repair.waitStopped());
        const testsupport::ProcessResult host = testsupport::runSqlite3({file, inHostMode(kHostWrite)});
        repair.resume();
        const Ending ending = repair.wait();

        // Held for the replacement, the original takes no write.
        if (at == rename) {
            EXPECT_NE(host.exitCode, 0) << "the host wrote while the original was being replaced";
        }
        if (host.exitCode != 0) {
            // While the repair reads the original or holds it for the replacement, the host's
            // write fails as it would on any busy file.
            ++keptOut;
            EXPECT_NE(host.err.find("database is locked"), std::string::npos) << host.err;
            expectReplaced(ending, file, reference);
            continue;
        }
        ++refused;
        EXPECT_EQ(ending.code, 1) << ending.errors;
        EXPECT_FALSE(markerExists());
        EXPECT_TRUE(hostWriteKept(file)) << "the host's write was lost";
        if (!GetParam().lossy) {
            EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        }
        expectNotReplacedBecause(file, "修復中に他のプログラムによって変更された");
    }
    EXPECT_GT(refused + keptOut, 0) << "no moment to write at";
    std::cout << "[ faults   ] host wrote at " << refused + keptOut << " points: " << refused << " refused, "
              << keptOut << " kept out\n";
}

TEST_P(HostWrites, TransactionOpenAcrossTheRepairIsNeverLost) {
    const std::string file = fileLastWrittenByTheHost();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    testsupport::Sqlite3Session host(file);
    ASSERT_EQ(host.run(inHostMode("")), modeEcho());
    ASSERT_EQ(host.run("BEGIN IMMEDIATE;" + kHostWrite), "");

    const Ending ending = runRepair(file, kDesignKey);
    ASSERT_EQ(host.run("COMMIT;"), "");

    EXPECT_EQ(ending.code, 1) << ending.errors;
    EXPECT_TRUE(hostWriteKept(file)) << "the host's committed write went to a file no longer in place";
    if (!GetParam().lossy) {
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    }
    // Connected in WAL mode, the host keeps the file from being recovered, which needs it alone.
    if (GetParam().journalMode == "WAL")
        expectNotCompactedBecauseInUse(file);
    else
        expectNotReplacedBecause(file, "他のプログラムが書き込み中の");
}

// The host holds the file with a write committed (in WAL mode, still in its log only).
TEST_P(HostWrites, FileLockedByTheHostIsNotCompacted) {
    const std::string file = fileLastWrittenByTheHost();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    testsupport::Sqlite3Session host(file);
    ASSERT_EQ(host.run(inHostMode(kHostWrite)), modeEcho());
    ASSERT_EQ(host.run("BEGIN EXCLUSIVE;"), "");
    const std::string before = testsupport::readBytes(file);
    const std::string logBefore = testsupport::readBytes(file + "-wal");

    const Ending ending = runRepair(file, kDesignKey);
    host.run("ROLLBACK;");

    expectFailureLeavingFile(ending, file, before);
    EXPECT_TRUE(testsupport::readBytes(file + "-wal") == logBefore) << "the host's log changed";
    EXPECT_TRUE(hostWriteKept(file));
    expectNotCompactedBecauseInUse(file);
}

// A host killed inside a write while the repair runs can leave the file as it was and, beside it,
// a journal to undo the write (with synchronous=OFF, holding every page the write touched). It
// belongs to the old file: rolled back onto the repaired one, it would corrupt it.
TEST_P(HostWrites, HostKilledInsideAWriteMeanwhileIsUndoneOnTheOldFileOnly) {
    const std::string file = fileLastWrittenByTheHost();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const RepairReference reference = referenceRepair(file, kDesignKey, expectedExit());
    const std::string committed = openedByAHost(file);
    // Stopped at the copy's last flush, just before the last check.
    const std::string scratch = fs::weakly_canonical(scratchPath()).string();
    const long rename = reference.replacingRename(file);
    long lastFlush = 0;
    for (const ShimCall& c : reference.calls)
        if (c.number < rename && c.call == "fsync" && c.file == scratch) lastFlush = c.number;
    Child repair = startFaultedRepair(file, kDesignKey, lastFlush, "stop");
    ASSERT_TRUE(repair.waitStopped());
    {
        testsupport::Sqlite3Session host(file);
        ASSERT_EQ(host.run(inHostMode("PRAGMA synchronous=OFF; BEGIN;" + kHostWrite)), modeEcho());
    }
    ASSERT_FALSE(sidecarsOf(file).empty()) << "the killed host left nothing beside the file";
    repair.resume();
    const Ending ending = repair.wait();

    EXPECT_EQ(ending.code, 1) << ending.errors;
    expectNotReplacedBecause(file, "修復中に他のプログラムによって変更された");
    EXPECT_TRUE(openedByAHost(file) == committed) << "the host's last committed state was lost";
    const Ending next = runRepair(file, kDesignKey);
    EXPECT_EQ(next.code, expectedExit()) << testsupport::readBytes(logPath()) << next.errors;
    removeKeptOriginals(file);
    EXPECT_TRUE(sidecarsOf(file).empty());
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostWrites,
                         ::testing::Values(HostMode{"RollbackJournal", "DELETE"}, HostMode{"KeptJournal", "PERSIST"},
                                           HostMode{"WriteAheadLog", "WAL"},
                                           HostMode{"LossyRepair", "DELETE", true},
                                           HostMode{"LossyRepairWithoutHardLinks", "DELETE", true, true},
                                           HostMode{"OnAnotherFileSystem", "DELETE", false, false, true},
                                           HostMode{"LossyRepairWithoutHardLinksOnAnotherFileSystem", "DELETE", true,
                                                    true, true}),
                         [](const ::testing::TestParamInfo<HostMode>& info) { return info.param.name; });

}  // namespace
}  // namespace faults
