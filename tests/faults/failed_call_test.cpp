// Calls the system refuses, one at a time at every step of a repair: a read or write of a file's
// contents that fails with EIO or EINTR or comes up short, once or past the retries, and a call
// that changes a file (write, flush, rename, link, deletion, creation) failing with EIO, with hard
// links or without. A transfer refused once is tried again, so the repair ends exactly as it does
// without it: one failed read never costs a row, and a sound file is never taken for a damaged
// one. Anything else ends the repair as that run or with exit 1, a line in the log and the
// original as it was. The rename is the line: past it, the run ends as that run, the damaged
// original it kept included. Nothing that the next run could take for its own copy is left, and
// the next run succeeds.
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "faults/data_file_pages.h"
#include "faults/fault_fixture.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

struct FailedCallCase {
    const char* name;
    // A table page zeroed, so that compaction salvages and rows are lost; or an index that
    // disagrees with its table (its definition's fields swapped), which SQLite's quick check passes,
    // so that the copy is checked whole and the index rebuilt in it.
    enum class Damage { None, TableLeaf, IndexDefinition } damage;
    bool transfer;      // a transfer of a file's contents fails, not a call that changes a file
    const char* fault;  // for a transfer "eio", "eintr" or "short"; for a call "fail" (EIO)
    // For a transfer: how many in a row fail (4 outlast the retries of one read); which file's
    // transfers are numbered (empty: every file's).
    int burst = 1;
    const char* transferredFile = "";
    bool linksRefused = false;  // as on a file system without hard links
};

void PrintTo(const FailedCallCase& c, std::ostream* os) { *os << c.name; }

// Every number in a campaign. Otherwise about `spread` spread over 1..count, the last few
// included, and, for calls that change a file, every one that is not a write of pages: the
// flushes, renames, links and deletions where the original is at stake.
std::vector<long> pointsOf(const std::vector<ShimCall>& steps, bool transfers, long spread) {
    const long count = static_cast<long>(steps.size());
    const long stride = campaign() ? 1 : std::max(1L, count / spread);
    std::vector<long> points;
    for (const ShimCall& c : steps)
        if ((c.number - 1) % stride == 0 || c.number > count - 3 ||
            (!transfers && c.call != "pwrite" && c.call != "write"))
            points.push_back(c.number);
    return points;
}

class FailedCallAtEveryStep : public FaultFixture, public ::testing::WithParamInterface<FailedCallCase> {
protected:
    std::string prepareFile() {
        const FailedCallCase& c = GetParam();
        if (c.linksRefused) shimConditions_.push_back("QN_FAULT_NO_LINK=1");
        if (*c.transferredFile != '\0') shimConditions_.push_back(std::string("QN_FAULT_TRANSFER_FILE=") + c.transferredFile);
        const std::string file = fileNeedingRepair("design", kDesignKey);
        if (c.damage == FailedCallCase::Damage::TableLeaf) zeroTableLeaf(file, "T000");
        if (c.damage == FailedCallCase::Damage::IndexDefinition) {
            EXPECT_EQ(testsupport::runSqlite3({file, "PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql ="
                                                     " replace(sql, '\"D000\", \"D001\"', '\"D001\", \"D000\"')"
                                                     " WHERE name = '_qn_ix_4_T014_Key01'"})
                          .exitCode,
                      0);
        }
        return file;
    }

    // What a repaired file holds: its rows, and its tables and indexes as qndb describes them, in
    // any order. A read refused past the retries in the rebuild reads as an index missing or
    // incomplete, which is re-created as it was, last in its table's list.
    std::vector<std::string> contentOf(const std::string& file) {
        std::vector<std::string> content;
        std::istringstream described(describe(file, kDesignKey));
        for (std::string object; std::getline(described, object, '{');)
            content.push_back(object.substr(0, object.find('}')));
        for (const auto& [table, rows] : rowsOf(file)) content.insert(content.end(), rows.begin(), rows.end());
        std::sort(content.begin(), content.end());
        return content;
    }

    // Each original a lossy run kept beside `file` is the damaged file, whole; then they go.
    void checkKeptOriginals(const std::string& file, const std::string& before) {
        for (const std::string& kept : keptOriginals(file)) EXPECT_TRUE(testsupport::readBytes(kept) == before);
        removeKeptOriginals(file);
    }
};

// After each failure: exit 1 means the original is at its path, byte for byte; exit 0 (or 2 for
// a lossy repair) means the repaired file is, with, for a lossy one, the damaged original kept
// whole beside it. A failure after the rename is a line in the log, never exit 1, and never costs
// the kept original.
TEST_P(FailedCallAtEveryStep, EndsAsWithoutItOrFailsLeavingTheOriginal) {
    const FailedCallCase& c = GetParam();
    const std::string file = prepareFile();
    const bool lossy = c.damage == FailedCallCase::Damage::TableLeaf;
    const int expected = lossy ? 2 : 0;
    const RepairReference reference = referenceRepair(file, kDesignKey, expected);
    ASSERT_GT(reference.replacingRename(file), 0) << "the reference repair never replaced the original";
    testsupport::writeBytes(file, reference.repaired);
    const std::vector<std::string> repairedContent = contentOf(file);

    const std::vector<ShimCall>& steps = c.transfer ? reference.transfers : reference.calls;
    int failures = 0;
    for (const long at : pointsOf(steps, c.transfer, 20)) {
        const ShimCall& call = steps[static_cast<std::size_t>(at - 1)];
        SCOPED_TRACE(std::string(c.fault) + " at " + std::to_string(at) + ": " + call.call + " " + call.file);
        putBack(file, reference.before);
        const Ending ending = (c.transfer ? startRepairWithFailedTransfer(file, kDesignKey, at, c.fault, c.burst)
                                          : startFaultedRepair(file, kDesignKey, at, c.fault))
                                  .wait();
        const std::vector<std::string> kept = keptOriginals(file);
        if (ending.code == expected) {
            // A run whose transfers the retries ride out is the run without them.
            if (c.burst == 1) {
                EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired) << "the repair did not end as without the fault";
            } else {
                const std::vector<std::string> content = contentOf(file);
                std::vector<std::string> differing;
                std::set_symmetric_difference(content.begin(), content.end(), repairedContent.begin(),
                                              repairedContent.end(), std::back_inserter(differing));
                EXPECT_TRUE(differing.empty()) << "the repair did not end as without the fault: "
                                               << differing.front().substr(0, 200);
                EXPECT_EQ(testsupport::integrityCheck(file), "ok");
            }
            // Only the marker's own creation may fail without failing the run: the log says so.
            EXPECT_EQ(markerExists(), !(call.call == "create" && call.file == markerPath()));
            EXPECT_EQ(kept.size(), lossy ? 1U : 0U) << "the damaged original was not kept";
            EXPECT_EQ(scratchLeftovers(), std::vector<std::string>{});
            checkKeptOriginals(file, reference.before);
            continue;
        }
        ++failures;
        ASSERT_EQ(ending.code, 1) << testsupport::readBytes(logPath()) << ending.errors;
        // A single transfer refused is ridden out; only a burst may end the run.
        ASSERT_TRUE(!c.transfer || c.burst > 1) << testsupport::readBytes(logPath());
        // A marker that could not be removed is the only one that stays; exit 1 is what counts then.
        EXPECT_EQ(markerExists(), call.call == "unlink" && call.file == markerPath());
        EXPECT_TRUE(testsupport::readBytes(file) == reference.before) << "exit 1, yet the original changed";
        EXPECT_FALSE(logMessages().empty()) << "a failure without a word";
        // What the system refused is said in its own words, of the file it refused.
        if (c.transfer) {
            EXPECT_NE(testsupport::readBytes(logPath()).find("(Input/output error)"), std::string::npos)
                << testsupport::readBytes(logPath());
        }
        // A kept copy stays only where it could not be removed, and the log names it.
        for (const std::string& left : kept) {
            EXPECT_EQ(call.call + " " + call.file, "unlink " + left) << "a kept copy beside an original in place";
            EXPECT_NE(testsupport::readBytes(logPath()).find(left), std::string::npos);
        }
        checkKeptOriginals(file, reference.before);
        // A complete scratch copy may stay; a journal beside it would meet the next one.
        for (const std::string& left : scratchLeftovers()) EXPECT_EQ(left, "repair.mdb");

        const Ending next = runRepair(file, kDesignKey);
        ASSERT_EQ(next.code, expected) << testsupport::readBytes(logPath()) << next.errors;
        EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired)
            << "the run after the failure did not give the file a clean run gives";
        EXPECT_EQ(scratchLeftovers(), std::vector<std::string>{});
        checkKeptOriginals(file, reference.before);
        if (HasFatalFailure()) return;
    }
    std::cout << "[ faults   ] " << failures << " failed runs over " << steps.size()
              << (c.transfer ? " transfers" : " calls") << "\n";
}

constexpr auto None = FailedCallCase::Damage::None;
constexpr auto TableLeaf = FailedCallCase::Damage::TableLeaf;
constexpr auto IndexDefinition = FailedCallCase::Damage::IndexDefinition;

INSTANTIATE_TEST_SUITE_P(
    Repairs, FailedCallAtEveryStep,
    ::testing::Values(FailedCallCase{"ReadOrWriteRefusedOnce", None, true, "eio"},
                      FailedCallCase{"ReadOrWriteInterrupted", None, true, "eintr"},
                      FailedCallCase{"ReadOrWriteComingUpShort", None, true, "short"},
                      FailedCallCase{"SalvageWithAReadOrWriteRefusedOnce", TableLeaf, true, "eio"},
                      // Past the retries: the run ends with exit 1, never takes a sound file for a
                      // damaged one, and never costs a salvage a row it would have brought back.
                      FailedCallCase{"ReadsRefusedPastTheRetries", None, true, "eio", 4},
                      FailedCallCase{"SalvageWithReadsRefusedPastTheRetries", TableLeaf, true, "eio", 4},
                      FailedCallCase{"ScratchCopyReadsRefusedPastTheRetries", None, true, "eio", 4, "/temp/repair.mdb"},
                      FailedCallCase{"CheckOfTheCopyWithReadsRefusedPastTheRetries", IndexDefinition, true, "eio", 4,
                                     "/temp/repair.mdb"},
                      FailedCallCase{"SalvageWithScratchCopyReadsRefusedPastTheRetries", TableLeaf, true, "eio", 4,
                                     "/temp/repair.mdb"},
                      FailedCallCase{"CallFailing", None, false, "fail"},
                      FailedCallCase{"SalvageWithACallFailing", TableLeaf, false, "fail"},
                      FailedCallCase{"SalvageWithoutHardLinksWithACallFailing", TableLeaf, false, "fail", 1, "", true}),
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
