// A repair killed at every step: QNrepair gets SIGKILL just before its n-th call that changes
// a file (write, flush, rename, deletion, creation), for n across the whole repair: the
// compaction, the sweep, the index work and the replacement. After each kill the original is
// the old file up to the rename that replaces it and the complete repaired one from then on,
// and the next repair succeeds over whatever the killed one left behind.
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "data_file_pages.h"
#include "fault_fixture.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

// A folder on /dev/shm, a file system of its own, for originals that the scratch copy
// cannot simply be renamed over.
class OtherFileSystemDir {
public:
    OtherFileSystemDir() : path_(fs::path("/dev/shm") / ("qn-faults-" + std::to_string(::getpid()))) {
        std::error_code ec;
        fs::create_directories(path_, ec);
    }
    ~OtherFileSystemDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    bool differsFrom(const std::string& other) const {
        struct stat a {}, b {};
        return ::stat(path_.c_str(), &a) == 0 && ::stat(other.c_str(), &b) == 0 && a.st_dev != b.st_dev;
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

struct CrashCase {
    const char* name;
    std::string kind;
    std::string password;
    bool onOtherFileSystem;  // the original lies on another file system than the tool folder
    bool damagedPage;        // a table page is unreadable, so compaction salvages and rows are lost
};

void PrintTo(const CrashCase& c, std::ostream* os) { *os << c.name; }

std::string describeCall(const std::vector<ShimCall>& calls, long number) {
    for (const ShimCall& c : calls)
        if (c.number == number) return "killed before call " + std::to_string(number) + ": " + c.call + " " + c.file;
    return "killed before call " + std::to_string(number);
}

// Every call in a campaign. Otherwise a spread of about thirty over the whole repair, and
// every call from shortly before the replacing rename on, where the original is at stake.
std::vector<long> killPoints(const RepairReference& reference, long rename) {
    const long count = static_cast<long>(reference.calls.size());
    const long stride = campaign() ? 1 : std::max(1L, count / 30);
    std::vector<long> points;
    for (long n = 1; n <= count; ++n)
        if ((n - 1) % stride == 0 || n >= rename - 3) points.push_back(n);
    return points;
}

class CrashAtEveryStep : public FaultFixture, public ::testing::WithParamInterface<CrashCase> {
protected:
    std::string prepareFile() {
        const CrashCase& c = GetParam();
        std::string file = fileNeedingRepair(c.kind, c.password);
        if (c.onOtherFileSystem) {
            if (!elsewhere_.differsFrom(toolDir())) return "";
            const std::string moved = elsewhere_.file("file.mdb");
            fs::copy_file(file, moved, fs::copy_options::overwrite_existing);
            file = moved;
        }
        if (c.damagedPage) {
            // Zero one leaf of the first numbered table: its rows are lost, the rest is salvaged.
            const PageMap map = pagesOf(file);
            const std::string table = c.kind == "work" ? "U000" : "T000";
            const auto leaf = std::find_if(map.pages.begin(), map.pages.end(), [&](const Page& p) {
                return p.table == table && !p.ofIndex && p.type == "leaf";
            });
            overwrite(file, (leaf->number - 1) * map.pageSize, std::string(static_cast<std::size_t>(map.pageSize), '\0'));
        }
        return file;
    }

    OtherFileSystemDir elsewhere_;
};

TEST_P(CrashAtEveryStep, OriginalIsOldOrRepairedAndTheNextRunSucceeds) {
    const std::string file = prepareFile();
    if (file.empty()) GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    const std::string password = GetParam().password;
    // A repair that loses rows says so (exit status 2) and keeps the damaged original beside.
    const int lossy = GetParam().damagedPage ? 2 : 0;
    const RepairReference reference = referenceRepair(file, password, lossy);
    const long rename = reference.replacingRename(file);
    ASSERT_GT(rename, 0) << "the reference repair never replaced the original";
    const bool soundBefore = testsupport::integrityCheck(file) == "ok";
    testsupport::writeBytes(file, reference.repaired);
    const std::string repairedTwice = referenceRepair(file, password).repaired;

    int kills = 0;
    for (const long at : killPoints(reference, rename)) {
        SCOPED_TRACE(describeCall(reference.calls, at));
        testsupport::writeBytes(file, reference.before);
        const Ending killed = startFaultedRepair(file, password, at, "kill").wait();
        ASSERT_EQ(killed.code, 128 + SIGKILL) << killed.errors;
        ++kills;

        const bool replaced = at > rename;
        EXPECT_TRUE(testsupport::readBytes(file) == (replaced ? reference.repaired : reference.before))
            << (replaced ? "the original is not the repaired file" : "the original changed");
        if (replaced || soundBefore) {
            EXPECT_EQ(testsupport::integrityCheck(file), "ok");
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
    ::testing::Values(CrashCase{"DesignFile", "design", kDesignKey, false, false},
                      CrashCase{"WorkFile", "work", kWorkKey, false, false},
                      CrashCase{"OriginalOnAnotherFileSystem", "design", kDesignKey, true, false},
                      CrashCase{"SalvagedFile", "design", kDesignKey, false, true}),
    [](const ::testing::TestParamInfo<CrashCase>& info) { return info.param.name; });

}  // namespace
}  // namespace faults
