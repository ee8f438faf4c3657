// The host at work on the file while a repair runs: a write landing between the compaction and
// the replacement, a transaction left open across the repair, a lock held throughout. The
// host's write is never lost: the repair either refuses to replace the file, saying so, or
// keeps the host out while it replaces the file.

#include <algorithm>

#include "fault_fixture.h"
#include "sqlite3_session.h"

namespace faults {
namespace {

// The statement the host writes with, and how to see that it was kept.
const std::string kHostWrite = "UPDATE Lock SET Payload = 'written by the host' WHERE rowid = 1;";
const std::string kHostWriteSeen = "SELECT count(*) FROM Lock WHERE Payload = 'written by the host'";

class HostWrites : public FaultFixture {
protected:
    void expectNotReplacedBecause(const std::string& file, const std::string& reason) {
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], "ファイル　(" + file + ") を置き換えできませんでした。ファイル '" + file + "' は" + reason +
                                "ため、置き換えませんでした。");
        EXPECT_EQ(lines[1], "設計書ファイル　(" + file + ") を置き換えできませんでした。");
        EXPECT_EQ(lines[2], "ファイル　(" + file + ") を修復できませんでした。");
    }

    bool hostWriteKept(const std::string& file) { return testsupport::sqlite3Query(file, kHostWriteSeen) == "1"; }
};

// The calls from the end of the compaction (the scratch copy's first flush) to the rename that
// replaces the original; in a quick run, a handful spread over them and the last few.
std::vector<long> pausePoints(const RepairReference& reference, long rename) {
    std::vector<long> points;
    bool compacted = false;
    for (const ShimCall& c : reference.calls) {
        compacted = compacted || (c.call == "fdatasync" && c.file.find("/temp/repair.mdb") != std::string::npos &&
                                  c.file.find("-journal") == std::string::npos);
        if (compacted && c.call != "pwrite" && c.number <= rename) points.push_back(c.number);
    }
    if (campaign() || points.size() <= 10) return points;
    std::vector<long> sample;
    for (std::size_t i = 0; i + 4 < points.size(); i += points.size() / 6) sample.push_back(points[i]);
    sample.insert(sample.end(), points.end() - 4, points.end());
    return sample;
}

TEST_F(HostWrites, WriteBetweenCompactionAndReplacementIsNeverLost) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const RepairReference reference = referenceRepair(file, kDesignKey);
    const long rename = reference.replacingRename(file);
    int refused = 0;
    int keptOut = 0;
    for (const long at : pausePoints(reference, rename)) {
        const auto call = std::find_if(reference.calls.begin(), reference.calls.end(),
                                       [&](const ShimCall& c) { return c.number == at; });
        SCOPED_TRACE("host wrote before call " + std::to_string(at) + ": " + call->call + " " + call->file);
        testsupport::writeBytes(file, reference.before);
        Child repair = startFaultedRepair(file, kDesignKey, at, "stop");
        ASSERT_TRUE(repair.waitStopped());
        const testsupport::ProcessResult host = testsupport::runSqlite3({file, kHostWrite});
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
            EXPECT_EQ(ending.code, 0) << testsupport::readBytes(logPath());
            EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired);
            continue;
        }
        ++refused;
        EXPECT_EQ(ending.code, 1) << ending.errors;
        EXPECT_FALSE(markerExists());
        EXPECT_TRUE(hostWriteKept(file)) << "the host's write was lost";
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
        expectNotReplacedBecause(file, "修復中に他のプログラムによって変更された");
    }
    std::cout << "[ faults   ] host wrote at " << refused + keptOut << " points: " << refused << " refused, "
              << keptOut << " kept out\n";
}

TEST_F(HostWrites, TransactionOpenAcrossTheRepairIsNeverLost) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    testsupport::Sqlite3Session host(file);
    ASSERT_EQ(host.run("BEGIN IMMEDIATE;" + kHostWrite), "");

    const Ending ending = runRepair(file, kDesignKey);
    ASSERT_EQ(host.run("COMMIT;"), "");

    EXPECT_EQ(ending.code, 1) << ending.errors;
    EXPECT_TRUE(hostWriteKept(file)) << "the host's committed write went to a file no longer in place";
    EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    expectNotReplacedBecause(file, "他のプログラムが書き込み中の");
}

TEST_F(HostWrites, FileLockedByTheHostIsNotCompacted) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    testsupport::Sqlite3Session host(file);
    ASSERT_EQ(host.run("BEGIN EXCLUSIVE;"), "");

    const Ending ending = runRepair(file, kDesignKey);
    host.run("ROLLBACK;");

    expectFailureLeavingFile(ending, file, before);
    const std::vector<std::string> lines = logMessages();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "ファイル　(" + file + ") を最適化できませんでした。ファイル '" + file + "' は他のプロセスが使用中です。");
    EXPECT_EQ(lines[1], "ファイル　(" + file + ") を最適化できませんでした。");
    EXPECT_EQ(lines[2], "ファイル　(" + file + ") を修復できませんでした。");
}

}  // namespace
}  // namespace faults
