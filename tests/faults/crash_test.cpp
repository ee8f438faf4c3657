// A repair killed at every step: QNrepair gets SIGKILL just before its n-th call that changes
// a file (write, flush, rename, deletion, creation), for n across the whole repair: the
// compaction, the sweep, the index work and the replacement. After each kill the original is
// the old file up to the rename that replaces it and the complete repaired one from then on,
// and the next repair succeeds over whatever the killed one left behind. A file that a killed host
// left with a hot journal or a write-ahead log is first recovered in place, as any open by the host
// would recover it: up to the rename it holds its last committed state rather than its old bytes,
// and nothing of what was beside it is ever applied to the repaired file.
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "faults/data_file_pages.h"
#include "faults/fault_fixture.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

struct CrashCase {
    const char* name;
    std::string kind;
    std::string password;
    bool onOtherFileSystem;  // the original lies on another file system than the tool folder
    bool damagedPage;        // a table page is unreadable, so compaction salvages and rows are lost
    KilledHost killedHost;   // what a host killed at work left beside the file
};

void PrintTo(const CrashCase& c, std::ostream* os) { *os << c.name; }

std::string describeCall(const std::vector<ShimCall>& calls, long number) {
    for (const ShimCall& c : calls)
        if (c.number == number) return "killed before call " + std::to_string(number) + ": " + c.call + " " + c.file;
    return "killed before call " + std::to_string(number);
}

// The rows of `table` in what openedByAHost gives back.
std::vector<std::string> rowsOf(const std::string& dump, const std::string& table) {
    std::vector<std::string> rows;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("INSERT INTO " + table + " ", 0) == 0) rows.push_back(line);
    return rows;
}

// Every call in a campaign. Otherwise a spread of about `spread` calls over the whole repair,
// every call from shortly before the replacing rename on, and every call on the original or beside
// it but page writes (the recovery of what a killed host left), where the original is at stake.
std::vector<long> killPoints(const RepairReference& reference, long rename, const std::string& original, long spread) {
    const long count = static_cast<long>(reference.calls.size());
    const long stride = campaign() ? 1 : std::max(1L, count / spread);
    std::vector<long> points;
    for (const ShimCall& c : reference.calls)
        if ((c.number - 1) % stride == 0 || c.number >= rename - 3 ||
            (c.file.rfind(original, 0) == 0 && c.call != "pwrite"))
            points.push_back(c.number);
    return points;
}

class CrashAtEveryStep : public FaultFixture, public ::testing::WithParamInterface<CrashCase> {
protected:
    std::string prepareFile() {
        const CrashCase& c = GetParam();
        std::string file = fileNeedingRepair(c.kind, c.password);
        if (c.onOtherFileSystem) {
            file = movedToAnotherFileSystem(file);
            if (file.empty()) return "";
        }
        // Zero one leaf of the first numbered table: its rows are lost, the rest is salvaged.
        if (c.damagedPage) zeroTableLeaf(file, c.kind == "work" ? "U000" : "T000");
        leaveKilledHost(file, c.killedHost);
        return file;
    }
};

TEST_P(CrashAtEveryStep, OriginalIsOldOrRepairedAndTheNextRunSucceeds) {
    const std::string file = prepareFile();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const std::string password = GetParam().password;
    const bool hostKilled = GetParam().killedHost != KilledHost::None;
    if (hostKilled) {
        ASSERT_FALSE(sidecarsOf(file).empty()) << "the killed host left nothing beside the file";
    }
    // A repair that loses rows says so (exit status 2) and keeps the damaged original beside.
    const int lossy = GetParam().damagedPage ? 2 : 0;
    const RepairReference reference = referenceRepair(file, password, lossy);
    const long rename = reference.replacingRename(file);
    ASSERT_GT(rename, 0) << "the reference repair never replaced the original";
    // Header bytes 18 and 19: the engine's rollback journal, whatever mode the host left the file in.
    EXPECT_EQ(reference.repaired.substr(18, 2), std::string("\x01\x01", 2));
    const bool soundBefore = testsupport::integrityCheck(file) == "ok";
    const std::string committedBefore = hostKilled ? openedByAHost(file) : "";
    putBack(file, reference.repaired);
    if (hostKilled) {
        // The repair leaves the rows of Data alone: they are exactly those the host last committed.
        const std::vector<std::string> committedRows = rowsOf(committedBefore, "Data");
        EXPECT_FALSE(committedRows.empty());
        EXPECT_TRUE(rowsOf(openedByAHost(file), "Data") == committedRows)
            << "the repair did not start from the last commit";
    }
    const std::string repairedTwice = referenceRepair(file, password).repaired;

    // Past the recovery, a killed host's file is repaired as any other, which the other rows cover.
    const long spread = hostKilled ? 6 : 30;
    int kills = 0;
    for (const long at : killPoints(reference, rename, fs::canonical(file).string(), spread)) {
        SCOPED_TRACE(describeCall(reference.calls, at));
        putBack(file, reference.before, reference.sidecarsBefore);
        const Ending killed = startFaultedRepair(file, password, at, "kill").wait();
        ASSERT_EQ(killed.code, 128 + SIGKILL) << killed.errors;
        ++kills;

        const bool replaced = at > rename;
        if (replaced || !hostKilled) {
            EXPECT_TRUE(testsupport::readBytes(file) == (replaced ? reference.repaired : reference.before))
                << (replaced ? "the original is not the repaired file" : "the original changed");
            if (replaced || soundBefore) {
                EXPECT_EQ(testsupport::integrityCheck(file), "ok");
            }
        } else {
            // Recovered in place, as far as the kill let it: a host opening it sees what it last committed.
            EXPECT_TRUE(openedByAHost(file) == committedBefore) << "the original lost its last committed state";
        }
        if (replaced) {
            EXPECT_TRUE(sidecarsOf(file).empty()) << "what was beside the old file is beside the repaired one";
        }

        const Ending next = runRepair(file, password);
        ASSERT_EQ(next.code, replaced ? 0 : lossy) << testsupport::readBytes(logPath()) << next.errors;
        EXPECT_TRUE(markerExists());
        EXPECT_TRUE(testsupport::readBytes(file) == (replaced ? repairedTwice : reference.repaired))
            << "the run after the kill did not give the file a clean run gives";
        EXPECT_EQ(scratchLeftovers(), std::vector<std::string>{});
        // Beside the original only the damaged originals that lossy runs kept, each whole.
        const std::vector<std::string> kept = keptOriginals(file);
        for (const std::string& original : kept) EXPECT_TRUE(testsupport::readBytes(original) == reference.before);
        if (lossy == 0) {
            EXPECT_TRUE(kept.empty());
        }
        removeKeptOriginals(file);
        std::vector<std::string> besideOriginal;
        for (const auto& entry : fs::directory_iterator(fs::path(file).parent_path()))
            besideOriginal.push_back(entry.path().filename().string());
        EXPECT_EQ(besideOriginal, std::vector<std::string>{"file.mdb"});
        if (HasFatalFailure()) return;
    }
    RecordProperty("kills", kills);
    std::cout << "[ faults   ] " << kills << " kills over " << reference.calls.size() << " calls, rename at "
              << rename << "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Repairs, CrashAtEveryStep,
    ::testing::Values(CrashCase{"DesignFile", "design", kDesignKey, false, false, KilledHost::None},
                      CrashCase{"WorkFile", "work", kWorkKey, false, false, KilledHost::None},
                      CrashCase{"OriginalOnAnotherFileSystem", "design", kDesignKey, true, false, KilledHost::None},
                      CrashCase{"SalvagedFile", "design", kDesignKey, false, true, KilledHost::None},
                      CrashCase{"HostKilledInsideAWrite", "design", kDesignKey, false, false, KilledHost::InsideAWrite},
                      CrashCase{"HostKilledInWalMode", "design", kDesignKey, false, false, KilledHost::InWalMode}),
    [](const ::testing::TestParamInfo<CrashCase>& info) { return info.param.name; });

}  // namespace
}  // namespace faults
