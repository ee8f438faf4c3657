#include "faults/fault_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "support/sqlite3_session.h"

namespace faults {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSidecarSuffixes[] = {"-journal", "-wal", "-shm"};

// Small caches make SQLite write a transaction's pages into the file before it commits.
const std::string kUncommittedWrite =
    "PRAGMA cache_size=2; BEGIN; UPDATE Data SET Payload = 'uncommitted'; DELETE FROM Lock;";
const std::string kCommittedWalWrites =
    "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; UPDATE Data SET Payload = 'committed';"
    "INSERT INTO Lock SELECT A000 || '+', 'committed' FROM Lock WHERE A000 IS NOT NULL;";

}  // namespace

Sidecars sidecarsOf(const std::string& file) {
    Sidecars sidecars;
    for (const char* suffix : kSidecarSuffixes)
        if (fs::exists(file + suffix)) sidecars[suffix] = testsupport::readBytes(file + suffix);
    return sidecars;
}

void putBack(const std::string& file, const std::string& bytes, const Sidecars& sidecars) {
    for (const char* suffix : kSidecarSuffixes) fs::remove(file + suffix);
    testsupport::writeBytes(file, bytes);
    for (const auto& [suffix, sidecarBytes] : sidecars) testsupport::writeBytes(file + suffix, sidecarBytes);
}

std::string openedByAHost(const std::string& file) {
    const testsupport::TempDir dir;
    const std::string copy = dir.file("copy.mdb");
    putBack(copy, testsupport::readBytes(file), sidecarsOf(file));
    const testsupport::ProcessResult shell = testsupport::runSqlite3({copy, ".dump", "PRAGMA integrity_check"});
    return shell.out + shell.err;
}

void leaveKilledHost(const std::string& file, KilledHost host) {
    if (host == KilledHost::None) return;
    // The session ends by killing its shell, in the middle of the uncommitted write.
    testsupport::Sqlite3Session session(file);
    if (host == KilledHost::InWalMode) session.run(kCommittedWalWrites);
    session.run(kUncommittedWrite);
}

long RepairReference::replacingRename(const std::string& target) const {
    const std::string resolved = fs::canonical(target).string();
    long number = 0;
    for (const ShimCall& c : calls)
        if (c.call == "rename" && c.file == resolved) number = c.number;
    return number;
}

bool campaign() {
    const char* value = std::getenv("QN_FAULT_CAMPAIGN");
    return value != nullptr && std::string(value) == "1";
}

std::uint32_t randomSeed() {
    const char* value = std::getenv("QN_FAULT_SEED");
    return value != nullptr ? static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10)) : 20240611U;
}

Ending FaultFixture::runRepair(const std::string& file, const std::string& password, ChildOptions options) {
    return startRepair(file, password, std::move(options)).wait();
}

Child FaultFixture::startRepair(const std::string& file, const std::string& password, ChildOptions options) {
    return Child({tool_.file("QNrepair"), "Data Source=" + file + ";Database Password=" + password}, options);
}

std::vector<std::string> FaultFixture::shimEnvironment(const std::vector<std::string>& settings) const {
    // A sanitized QNrepair would refuse a library preloaded ahead of its runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::vector<std::string> env = {
        std::string("LD_PRELOAD=") + QN_FAULT_SHIM,
        std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") + "verify_asan_link_order=0",
    };
    env.insert(env.end(), shimConditions_.begin(), shimConditions_.end());
    env.insert(env.end(), settings.begin(), settings.end());
    return env;
}

void FaultFixture::arrangeAsAfterASuccess() {
    fs::create_directories(tool_.file("temp"));
    testsupport::writeBytes(markerPath(), "");
    fs::remove(logPath());
    fs::remove(scratchPath());
}

Child FaultFixture::startShimmedRepair(const std::string& file, const std::string& password,
                                       const std::vector<std::string>& settings) {
    arrangeAsAfterASuccess();
    ChildOptions options;
    options.env = shimEnvironment(settings);
    return startRepair(file, password, options);
}

Child FaultFixture::startFaultedRepair(const std::string& file, const std::string& password, long at,
                                       const std::string& action) {
    return startShimmedRepair(file, password, {"QN_FAULT_AT=" + std::to_string(at), "QN_FAULT_ACTION=" + action});
}

Child FaultFixture::startRepairWithFailedTransfer(const std::string& file, const std::string& password, long at,
                                                  const std::string& fault, int burst) {
    return startShimmedRepair(file, password,
                              {"QN_FAULT_TRANSFER_AT=" + std::to_string(at), "QN_FAULT_TRANSFER=" + fault,
                               "QN_FAULT_TRANSFER_BURST=" + std::to_string(burst)});
}

namespace {

// The lines "<number> <call> <file>" of a shim's trace.
std::vector<ShimCall> tracedCalls(const std::string& trace) {
    std::vector<ShimCall> calls;
    std::istringstream lines(testsupport::readBytes(trace));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        ShimCall c;
        fields >> c.number >> c.call;
        std::getline(fields >> std::ws, c.file);
        calls.push_back(c);
    }
    fs::remove(trace);
    return calls;
}

}  // namespace

RepairReference FaultFixture::referenceRepair(const std::string& file, const std::string& password, int exitCode) {
    RepairReference reference;
    reference.before = testsupport::readBytes(file);
    reference.sidecarsBefore = sidecarsOf(file);
    const std::string trace = tool_.file("reference.trace");
    const std::string transfers = tool_.file("reference.transfers");
    fs::remove(trace);
    fs::remove(transfers);
    arrangeAsAfterASuccess();
    ChildOptions options;
    options.env = shimEnvironment({"QN_FAULT_TRACE=" + trace, "QN_FAULT_TRANSFER_TRACE=" + transfers});
    const Ending ending = runRepair(file, password, options);
    EXPECT_EQ(ending.code, exitCode) << testsupport::readBytes(logPath()) << ending.errors;
    reference.repaired = testsupport::readBytes(file);
    removeKeptOriginals(file);
    putBack(file, reference.before, reference.sidecarsBefore);
    reference.calls = tracedCalls(trace);
    reference.transfers = tracedCalls(transfers);
    return reference;
}

std::string FaultFixture::fileNeedingRepair(const std::string& kind, const std::string& password,
                                            const std::string& name) {
    const std::string file = dataFile(kind, name);
    const std::string letter = kind == "work" ? "U" : "T";
    damage(file, password,
           {"null-keys", letter + "000", "5", "null-keys", "Lock", "3", "drop-index", letter + "010", "Key01",
            "strip-index", "Data", "Key00"});
    return file;
}

namespace {

fs::path otherFileSystemDir() { return fs::path("/dev/shm") / ("qn-faults-" + std::to_string(::getpid())); }

}  // namespace

std::string FaultFixture::movedToAnotherFileSystem(const std::string& file) {
    const fs::path dir = otherFileSystemDir();
    std::error_code ec;
    fs::create_directories(dir, ec);
    struct stat there {}, here {};
    if (::stat(dir.c_str(), &there) != 0 || ::stat(toolDir().c_str(), &here) != 0 || there.st_dev == here.st_dev)
        return "";
    const std::string moved = (dir / fs::path(file).filename()).string();
    fs::copy_file(file, moved, fs::copy_options::overwrite_existing);
    fs::remove(file);
    return moved;
}

void FaultFixture::TearDown() {
    std::error_code ec;
    fs::remove_all(otherFileSystemDir(), ec);
    RepairFixture::TearDown();
}

void FaultFixture::expectFailureLeavingFile(const Ending& ending, const std::string& file, const std::string& before) {
    EXPECT_EQ(ending.code, 1) << ending.errors;
    EXPECT_FALSE(markerExists());
    EXPECT_TRUE(testsupport::readBytes(file) == before) << "the original changed: " << file;
}

std::vector<std::string> FaultFixture::keptOriginals(const std::string& file) {
    const fs::path path(file);
    const std::string prefix = path.stem().string() + ".damaged-";
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(path.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == path.extension())
            kept.push_back(entry.path().string());
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

void FaultFixture::removeKeptOriginals(const std::string& file) {
    for (const std::string& kept : keptOriginals(file)) fs::remove(kept);
}

std::vector<std::string> FaultFixture::scratchLeftovers() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tool_.file("temp"), ec))
        if (entry.path().filename() != "repair.lock") names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace faults
