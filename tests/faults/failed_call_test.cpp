// Calls the system refuses, one at a time at every step of a repair: a read or write of a file's
// contents that fails once with EIO or EINTR or comes up short, and a call that changes a file
// (write, flush, rename, deletion, creation) failing with EIO. A transfer refused once is tried
// again, so the repair ends exactly as it does without it: one failed read never costs a row, and a
// sound file is never taken for a damaged one. A failed call ends the repair as that run or with
// exit 1, a line in the log and the original as it was (or, past the rename, the repaired file);
// nothing that the next run could take for its own copy is left, and the next run succeeds.
#include <algorithm>
#include <filesystem>

#include "data_file_pages.h"
#include "fault_fixture.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

struct FailedCallCase {
    const char* name;
    bool damagedPage;  // a table page is zeroed, so compaction salvages and rows are lost
    bool transfer;     // a transfer of a file's contents fails, not a call that changes a file
    const char* fault;  // for a transfer "eio", "eintr" or "short"; for a call "fail" (EIO)
};

void PrintTo(const FailedCallCase& c, std::ostream* os) { *os << c.name; }

// Every number in a campaign; otherwise about `spread` spread over 1..count, the last few included.
std::vector<long> pointsOf(long count, long spread) {
    const long stride = campaign() ? 1 : std::max(1L, count / spread);
    std::vector<long> points;
    for (long n = 1; n <= count; ++n)
        if ((n - 1) % stride == 0 || n > count - 3) points.push_back(n);
    return points;
}

class FailedCallAtEveryStep : public FaultFixture, public ::testing::WithParamInterface<FailedCallCase> {
protected:
    std::string prepareFile() {
        const std::string file = fileNeedingRepair("design", kDesignKey);
        if (GetParam().damagedPage) {
            const PageMap map = pagesOf(file);
            const auto leaf = std::find_if(map.pages.begin(), map.pages.end(),
                                           [](const Page& p) { return p.table == "T000" && !p.ofIndex && p.type == "leaf"; });
            overwrite(file, (leaf->number - 1) * map.pageSize, std::string(static_cast<std::size_t>(map.pageSize), '\0'));
        }
        return file;
    }

    // Each original a lossy run kept beside `file` is the damaged file, whole; then they go.
    void checkKeptOriginals(const std::string& file, const std::string& before) {
        for (const std::string& kept : keptOriginals(file)) EXPECT_TRUE(testsupport::readBytes(kept) == before);
        removeKeptOriginals(file);
    }
};

TEST_P(FailedCallAtEveryStep, EndsAsWithoutItOrFailsLeavingTheOriginal) {
    const FailedCallCase& c = GetParam();
    const std::string file = prepareFile();
    const int expected = c.damagedPage ? 2 : 0;
    const RepairReference reference = referenceRepair(file, kDesignKey, expected);
    const long rename = reference.replacingRename(file);
    ASSERT_GT(rename, 0) << "the reference repair never replaced the original";
    putBack(file, reference.repaired);
    const std::string repairedTwice = referenceRepair(file, kDesignKey).repaired;

    const long count = static_cast<long>(c.transfer ? reference.transfers.size() : reference.calls.size());
    int failures = 0;
    for (const long at : pointsOf(count, 20)) {
        const ShimCall& call = (c.transfer ? reference.transfers : reference.calls)[static_cast<std::size_t>(at - 1)];
        SCOPED_TRACE(std::string(c.fault) + " at " + std::to_string(at) + ": " + call.call + " " + call.file);
        putBack(file, reference.before);
        const Ending ending = (c.transfer ? startRepairWithFailedTransfer(file, kDesignKey, at, c.fault)
                                          : startFaultedRepair(file, kDesignKey, at, c.fault))
                                  .wait();
        checkKeptOriginals(file, reference.before);
        if (c.transfer || ending.code == expected) {
            ASSERT_EQ(ending.code, expected) << testsupport::readBytes(logPath()) << ending.errors;
            EXPECT_TRUE(markerExists());
            EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired) << "the repair did not end as without the fault";
            EXPECT_EQ(scratchLeftovers(), std::vector<std::string>{});
            continue;
        }
        ++failures;
        const bool replaced = at > rename;
        ASSERT_EQ(ending.code, 1) << ending.errors;
        // A marker that could not be removed is the only one that stays; exit 1 is what counts then.
        EXPECT_EQ(markerExists(), call.call == "unlink" && call.file == markerPath());
        EXPECT_TRUE(testsupport::readBytes(file) == (replaced ? reference.repaired : reference.before))
            << (replaced ? "the original is not the repaired file" : "the original changed");
        EXPECT_FALSE(logMessages().empty()) << "a failure without a word";
        // A complete scratch copy may stay; a journal beside it would meet the next one.
        for (const std::string& left : scratchLeftovers()) EXPECT_EQ(left, "repair.mdb");

        const Ending next = runRepair(file, kDesignKey);
        ASSERT_EQ(next.code, replaced ? 0 : expected) << testsupport::readBytes(logPath()) << next.errors;
        EXPECT_TRUE(testsupport::readBytes(file) == (replaced ? repairedTwice : reference.repaired))
            << "the run after the failure did not give the file a clean run gives";
        EXPECT_EQ(scratchLeftovers(), std::vector<std::string>{});
        checkKeptOriginals(file, reference.before);
        if (HasFatalFailure()) return;
    }
    std::cout << "[ faults   ] " << failures << " failed runs over " << count << (c.transfer ? " transfers" : " calls")
              << "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Repairs, FailedCallAtEveryStep,
    ::testing::Values(FailedCallCase{"ReadOrWriteRefusedOnce", false, true, "eio"},
                      FailedCallCase{"ReadOrWriteInterrupted", false, true, "eintr"},
                      FailedCallCase{"ReadOrWriteComingUpShort", false, true, "short"},
                      FailedCallCase{"SalvageWithAReadOrWriteRefusedOnce", true, true, "eio"},
                      FailedCallCase{"CallFailing", false, false, "fail"},
                      FailedCallCase{"SalvageWithACallFailing", true, false, "fail"}),
    [](const ::testing::TestParamInfo<FailedCallCase>& info) { return info.param.name; });

// The reproducer of a sound file replaced by a salvaged one that had lost seven tables: libfiu's own
// injector (fiu-run, not our shim) refusing about one read in two thousand, with the errors a read
// may give, several times in one repair. Every run repairs the file with every row.
TEST_F(FaultFixture, ReadsRefusedAtRandom) {
    const std::string fiu = "/usr/bin/fiu-run";
    if (!fs::exists(fiu)) GTEST_SKIP() << "fiu-run (package fiu-utils) is not installed";
#ifdef QN_SANITIZED
    GTEST_SKIP() << "libfiu's wrappers and AddressSanitizer's cannot share a process (it crashes at start)";
#endif
    const std::string file = tool_.file("data/f.mdb");
    testsupport::qndb({"create", file, "design", "--rows", "600", "--seed", "8"});
    damage(file, kDesignKey, {"drop-index", "T000", "Key01", "null-keys", "T010", "4", "strip-index", "T014", "Key02"});
    const RepairReference reference = referenceRepair(file, kDesignKey);
    for (int run = 1; run <= (campaign() ? 200 : 5); ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        putBack(file, reference.before);
        const Ending ending = runChild({fiu, "-x", "-c", "enable_random name=posix/io/rw/pread,probability=0.0005",
                                        tool_.file("QNrepair"), "Data Source=" + file + ";Database Password=" + kDesignKey});
        ASSERT_EQ(ending.code, 0) << testsupport::readBytes(logPath()) << ending.errors;
        EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired) << "the repair lost what a read refused";
        EXPECT_TRUE(keptOriginals(file).empty());
    }
}

}  // namespace
}  // namespace faults
