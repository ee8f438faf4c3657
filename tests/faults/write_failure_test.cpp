// Writes that fail: a file-size limit standing in for a full disk at every size a repair
// passes through, real disks that fill up, a scratch folder, a tool folder and a data folder that
// cannot be written, what SQLite keeps beside the file that cannot be read or removed. The repair
// fails, never reports success, says why where the log can be written, naming the file whose write
// failed, and the original stays as it was.
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "faults/fault_fixture.h"
#include "faults/small_disk.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

constexpr auto kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec;

class WriteFailure : public FaultFixture {
protected:
    void requirePermissionBits() {
        if (!permissionBitsHold()) GTEST_SKIP() << "permission bits do not bind this user";
    }

    static ChildOptions withoutOverride() {
        ChildOptions options;
        options.withoutPermissionOverride = true;
        return options;
    }

    // The log's last line names the file as not repaired.
    void expectLogEndsWithNotRepaired(const std::string& file) {
        const std::vector<std::string> lines = logMessages();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "ファイル　(" + file + ") を修復できませんでした。");
    }
};

TEST_F(WriteFailure, FileSizeLimitAtEverySizeARepairPassesThrough) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const RepairReference reference = referenceRepair(file, kDesignKey);
    const auto size = static_cast<rlim_t>(reference.before.size());
    // The log holds a few lines of a few hundred bytes; below this it may be cut short.
    constexpr rlim_t kLogFits = 8192;
    int failures = 0;
    for (const rlim_t limit : {rlim_t{0}, rlim_t{512}, kLogFits, rlim_t{65536}, size / 4, size / 2, size - 4096, size,
                               size + 65536, 4 * size}) {
        SCOPED_TRACE("file size limit " + std::to_string(limit));
        testsupport::writeBytes(file, reference.before);
        ChildOptions options;
        options.fileSizeLimit = limit;
        const Ending ending = runRepair(file, kDesignKey, options);
        if (ending.code == 0) {
            EXPECT_TRUE(markerExists());
            EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired) << "reported repaired, but is not";
            continue;
        }
        ++failures;
        expectFailureLeavingFile(ending, file, reference.before);
        if (limit >= kLogFits) expectLogEndsWithNotRepaired(file);
    }
    EXPECT_GE(failures, 6) << "the limits below the file's size must all fail";

    testsupport::writeBytes(file, reference.before);
    EXPECT_EQ(runRepair(file, kDesignKey).code, 0) << "what the failed runs left behind broke the next one";
    EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired);
}

// Small tmpfs disks: the tool folder's (where the scratch copy goes), the data folder's (where a
// copy is staged to be renamed over the original), or one for both. Where the disk is sure to be
// too small, the repair says so before it writes; where it fills up on the way, the system's own
// words say so. Each names the file that did not fit, leaves no journal or partial copy, and the
// next run succeeds once there is room.
TEST_F(WriteFailure, FullDisks) {
    enum class Disk { ToolFolder, DataFolder, OneForBoth };
    enum class Said { TooSmallToStart, ExactlyTooSmall, FilledUp, Nothing };
    struct Case {
        const char* name;
        Disk disk;
        double free;  // what the small disk keeps free, as a share of the file's size
        Said said;
    };
    const Case cases[] = {
        {"the tool folder's disk holds less than the copy can shrink to", Disk::ToolFolder, 0.25, Said::TooSmallToStart},
        {"the tool folder's disk fills up while the copy is written", Disk::ToolFolder, 0.6, Said::FilledUp},
        {"the data folder's disk cannot hold the copy staged beside the original", Disk::DataFolder, 0.5,
         Said::ExactlyTooSmall},
        {"one disk for both, too small for the copy", Disk::OneForBoth, 0.25, Said::TooSmallToStart},
        {"the tool folder's disk is full", Disk::ToolFolder, 0, Said::Nothing},
    };
    const std::string executable = testsupport::readBytes(tool_.file("QNrepair"));
    const std::string workgroup = testsupport::readBytes(tool_.file("QNsys.mdw"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::TempDir elsewhere;
        const std::string data = c.disk == Disk::ToolFolder ? elsewhere.path().string() : tool_.file("data");
        const std::string file = data + "/file.mdb";
        const RepairReference reference = referenceRepair(fileNeedingRepair("design", kDesignKey), kDesignKey);
        std::unique_ptr<SmallDisk> disk =
            SmallDisk::mountOver(c.disk == Disk::DataFolder ? data : tool_.path().string());
        if (!disk) GTEST_SKIP() << "tmpfs cannot be mounted here, so disks cannot be filled for real";
        for (const auto& [name, bytes] : {std::pair{"QNrepair", &executable}, std::pair{"QNsys.mdw", &workgroup}})
            if (c.disk != Disk::DataFolder) testsupport::writeBytes(tool_.file(name), *bytes);
        fs::permissions(tool_.file("QNrepair"), fs::perms::owner_all);
        fs::create_directories(data);
        testsupport::writeBytes(file, reference.before);
        fs::create_directories(tool_.file("temp"));
        const auto size = static_cast<double>(reference.before.size());
        disk->leaveFree(static_cast<std::uintmax_t>(c.free * size));

        const Ending ending = runRepair(file, kDesignKey);
        expectFailureLeavingFile(ending, file, reference.before);
        const bool staging = c.disk == Disk::DataFolder;
        const std::vector<std::string> lines = c.said == Said::Nothing ? std::vector<std::string>{} : logMessages();
        if (c.said == Said::Nothing) {
            EXPECT_TRUE(!logExists() || testsupport::readBytes(logPath()).empty()) << "a log written on a full disk";
        } else {
            ASSERT_EQ(lines.size(), 3U);
            const std::string head = "ファイル　(" + file + (staging ? ") を置き換えできませんでした。" : ") を最適化できませんでした。") +
                                     "ファイル '" + (staging ? data + "/.file.mdb.qnrepair" : scratchPath()) +
                                     "' を書き込む領域がディスクにありません (";
            EXPECT_EQ(lines[0].rfind(head, 0), 0U) << lines[0];
            const std::string reason = lines[0].substr(std::min(head.size(), lines[0].size()));
            if (c.said == Said::FilledUp) {
                EXPECT_EQ(reason, std::string(std::strerror(ENOSPC)) + ")。");
            } else {
                EXPECT_EQ(reason.rfind("空き ", 0), 0U) << reason;
                EXPECT_EQ(reason.find(" 以上)。") != std::string::npos, c.said == Said::TooSmallToStart) << reason;
            }
            expectLogEndsWithNotRepaired(file);
        }
        // The repaired copy may stay when only its staging failed; a journal or a partial copy never does.
        EXPECT_EQ(scratchLeftovers(), staging ? std::vector<std::string>{"repair.mdb"} : std::vector<std::string>{});
        std::vector<std::string> besideOriginal;
        for (const auto& entry : fs::directory_iterator(data)) besideOriginal.push_back(entry.path().filename().string());
        EXPECT_EQ(besideOriginal, std::vector<std::string>{"file.mdb"});

        disk->leaveFree(4 * reference.before.size());
        EXPECT_EQ(runRepair(file, kDesignKey).code, 0) << testsupport::readBytes(logPath());
        EXPECT_TRUE(testsupport::readBytes(file) == reference.repaired);
        if (HasFatalFailure()) return;
    }
}

TEST_F(WriteFailure, ReadOnlyScratchFolder) {
    requirePermissionBits();
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    fs::create_directories(tool_.file("temp"));
    for (const bool lockPresent : {false, true}) {
        SCOPED_TRACE(lockPresent ? "lock file left by an earlier run" : "no lock file");
        if (lockPresent) testsupport::writeBytes(tool_.file("temp/repair.lock"), "");
        fs::permissions(tool_.file("temp"), kReadOnlyFolder);
        const Ending ending = runRepair(file, kDesignKey, withoutOverride());
        fs::permissions(tool_.file("temp"), fs::perms::owner_all);
        expectFailureLeavingFile(ending, file, before);
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を最適化できませんでした。", 0), 0U) << lines[0];
        EXPECT_EQ(lines[1], "ファイル　(" + file + ") を最適化できませんでした。");
        expectLogEndsWithNotRepaired(file);
    }
}

TEST_F(WriteFailure, ReadOnlyDataFolderKeepsTheOriginal) {
    requirePermissionBits();
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    fs::permissions(tool_.file("data"), kReadOnlyFolder);
    const Ending ending = runRepair(file, kDesignKey, withoutOverride());
    fs::permissions(tool_.file("data"), fs::perms::owner_all);
    expectFailureLeavingFile(ending, file, before);
    const std::vector<std::string> lines = logMessages();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].rfind("ファイル　(" + file + ") を置き換えできませんでした。", 0), 0U) << lines[0];
    EXPECT_EQ(lines[1], "設計書ファイル　(" + file + ") を置き換えできませんでした。");
    expectLogEndsWithNotRepaired(file);
}

// A journal or log that SQLite could neither recover from nor be kept from applying: the repair
// fails before anything is changed, naming it, and the file and what is beside it stay as they were.
TEST_F(WriteFailure, SidecarsThatCannotBeReadOrRemoved) {
    struct Case {
        const char* name;
        KilledHost host;
        const char* suffix;  // of the one named in the log
        bool needsPermissionBits;
        std::function<void(const std::string& sidecar)> spoil;
        std::function<void(const std::string& sidecar)> mend;
        std::string detail;
    };
    const std::string data = tool_.file("data");
    const Case cases[] = {
        {"a folder in place of the log", KilledHost::None, "-wal", false,
         [](const std::string& sidecar) { fs::create_directory(sidecar); },
         [](const std::string& sidecar) { fs::remove(sidecar); }, "通常のファイルではありません"},
        {"a hot journal no one may read", KilledHost::InsideAWrite, "-journal", true,
         [](const std::string& sidecar) { fs::permissions(sidecar, fs::perms::none); },
         [](const std::string& sidecar) { fs::permissions(sidecar, fs::perms::owner_read | fs::perms::owner_write); },
         std::strerror(EACCES)},
        {"a log in a folder where it cannot be removed", KilledHost::InWalMode, "-wal", true,
         [&](const std::string&) { fs::permissions(data, kReadOnlyFolder); },
         [&](const std::string&) { fs::permissions(data, fs::perms::owner_all); }, std::strerror(EACCES)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsPermissionBits && !permissionBitsHold()) continue;
        const std::string file = fileNeedingRepair("design", kDesignKey, std::string(c.name) + ".mdb");
        leaveKilledHost(file, c.host);
        const std::string before = testsupport::readBytes(file);
        const Sidecars sidecarsBefore = sidecarsOf(file);
        const std::string sidecar = fs::canonical(file).string() + c.suffix;
        c.spoil(sidecar);
        const Ending ending = runRepair(file, kDesignKey, withoutOverride());
        c.mend(sidecar);
        expectFailureLeavingFile(ending, file, before);
        EXPECT_TRUE(sidecarsOf(file) == sidecarsBefore) << "what is beside the file changed";
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], "ファイル　(" + file + ") を最適化できませんでした。ファイル '" + file +
                                "' の復旧用ファイル '" + sidecar + "' を読み書きまたは削除できません (" + c.detail +
                                ")。");
        expectLogEndsWithNotRepaired(file);
    }
}

// Without a writable tool folder neither the log nor the marker can be written: the run must
// not touch the file, since it could not tell the host what it did.
TEST_F(WriteFailure, UnwritableToolFolderLeavesTheFileAlone) {
    requirePermissionBits();
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    fs::create_directories(tool_.file("temp"));
    struct Case {
        const char* name;
        std::string password;
        bool staleMarker;
    };
    for (const Case& c : {Case{"a repair that would succeed", kDesignKey, false},
                          Case{"a repair that fails anyway", kWorkKey, false},
                          Case{"the marker of an earlier run still there", kDesignKey, true}}) {
        SCOPED_TRACE(c.name);
        testsupport::writeBytes(file, before);
        if (c.staleMarker) testsupport::writeBytes(markerPath(), "");
        fs::permissions(tool_.path(), kReadOnlyFolder);
        const Ending ending = runRepair(file, c.password, withoutOverride());
        fs::permissions(tool_.path(), fs::perms::owner_all);
        EXPECT_EQ(ending.code, 1) << ending.errors;
        EXPECT_TRUE(testsupport::readBytes(file) == before) << "the original changed";
        EXPECT_FALSE(logExists());
        EXPECT_EQ(markerExists(), c.staleMarker);
    }
}

}  // namespace
}  // namespace faults
