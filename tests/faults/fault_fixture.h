#pragma once

// Whole repairs under faults: the real QNrepair in a tool folder of its own (RepairFixture),
// started as a child with a deadline, optionally with the fault shim preloaded.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/posix/child_process.h"
#include "driver/repair_fixture.h"

namespace faults {

using testsupport::Child;
using testsupport::ChildOptions;
using testsupport::Ending;
using testsupport::permissionBitsHold;
using testsupport::runChild;

// One call the shim numbered: "pwrite", "fsync", "rename", "create", ... and the file it concerns;
// or one transfer: "read", "pread", "write", "pwrite".
struct ShimCall {
    long number = 0;
    std::string call;
    std::string file;
};

// What SQLite keeps beside a data file to recover from a crash, by suffix ("-journal", "-wal",
// "-shm"), byte for byte.
using Sidecars = std::map<std::string, std::string>;
Sidecars sidecarsOf(const std::string& file);
// Writes `bytes` to `file` and leaves exactly `sidecars` beside it.
void putBack(const std::string& file, const std::string& bytes, const Sidecars& sidecars = {});
// What a host that opens `file` sees, read through a copy of it and its sidecars opened
// read-write (so that SQLite recovers the copy, not the file): every table and row as the shell
// dumps them, then SQLite's full check.
std::string openedByAHost(const std::string& file);

// What a host killed (SIGKILL) at work on a file leaves behind.
enum class KilledHost {
    None,
    InsideAWrite,  // a hot journal, some of the write's pages already in the file
    InWalMode,     // a -wal with committed writes and the frames of an uncommitted one, and its -shm
};
void leaveKilledHost(const std::string& file, KilledHost host);

// A repair run once without faults, for the runs under faults to be compared with.
struct RepairReference {
    std::string before;           // the file as it was given
    Sidecars sidecarsBefore;      // and what was beside it
    std::string repaired;         // the file after the repair
    std::vector<ShimCall> calls;      // the calls it made, numbered as the shim numbers them
    std::vector<ShimCall> transfers;  // and the transfers of files' contents
    // The number of the rename that put the repaired copy in place.
    long replacingRename(const std::string& target) const;
};

// Whether the long campaigns run (QN_FAULT_CAMPAIGN=1) instead of the quick samples.
bool campaign();
// The seed of the random damage: QN_FAULT_SEED when set, else a fixed one so that runs repeat.
std::uint32_t randomSeed();

class FaultFixture : public RepairFixture {
protected:
    Ending runRepair(const std::string& file, const std::string& password, ChildOptions options = {});
    Child startRepair(const std::string& file, const std::string& password, ChildOptions options = {});

    // Repairs `file` once with the shim tracing, then puts the file and its sidecars back as they
    // were. A repair that cannot bring back every row ends with `exitCode` 2; the original it keeps
    // is removed again.
    RepairReference referenceRepair(const std::string& file, const std::string& password, int exitCode = 0);
    // A repair with the shim preloaded to `action` ("kill", "stop" or "fail") at call `at`, the
    // calls numbered as in the reference run.
    Child startFaultedRepair(const std::string& file, const std::string& password, long at, const std::string& action);
    // A repair with the shim preloaded to make transfer `at` fail as `fault` says ("eio", "eintr",
    // "short"), and the `burst` - 1 after it too, the transfers numbered as in the reference run.
    Child startRepairWithFailedTransfer(const std::string& file, const std::string& password, long at,
                                        const std::string& fault, int burst = 1);

    void TearDown() override;

    // What every run under the shim meets besides its fault, the reference run's included: for
    // example "QN_FAULT_NO_LINK=1", or "QN_FAULT_TRANSFER_FILE=…" to number only one file's transfers.
    std::vector<std::string> shimConditions_;

    // A copy of the pristine file of `kind` with rows to sweep and indexes to re-create.
    std::string fileNeedingRepair(const std::string& kind, const std::string& password,
                                  const std::string& name = "file.mdb");

    // A copy of `file` on /dev/shm, a file system of its own, removed with the fixture; empty where
    // /dev/shm shares the tool folder's file system.
    std::string movedToAnotherFileSystem(const std::string& file);

    // A failed run: exit 1 without the marker, and `file` still holds `before`.
    void expectFailureLeavingFile(const Ending& ending, const std::string& file, const std::string& before);
    // What is left in the scratch folder besides the lock.
    std::vector<std::string> scratchLeftovers() const;
    // The damaged originals that lossy repairs kept beside `file` ("<name>.damaged-…<ext>"), by path.
    static std::vector<std::string> keptOriginals(const std::string& file);
    static void removeKeptOriginals(const std::string& file);

private:
    // The environment that preloads the shim with `settings` ("QN_FAULT_AT=12", ...).
    std::vector<std::string> shimEnvironment(const std::vector<std::string>& settings) const;
    Child startShimmedRepair(const std::string& file, const std::string& password,
                             const std::vector<std::string>& settings);
    // Every run under the shim starts as after an earlier success (the scratch folder made but
    // empty, the marker there, no log), so that the same calls get the same numbers.
    void arrangeAsAfterASuccess();
};

}  // namespace faults
