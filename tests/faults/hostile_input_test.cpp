// Hostile command lines and paths: very long, not UTF-8, control characters, runs of ";" and
// "=", quotes, links that lead nowhere, things that are not files. No crash, no hang: the file
// named is repaired, or the log says clearly which file is missing, and nothing else changes.
#include <sys/stat.h>

#include <filesystem>

#include "faults/fault_fixture.h"
#include "support/sqlite3_session.h"

namespace faults {
namespace {

namespace fs = std::filesystem;

class HostileInput : public FaultFixture {
protected:
    Ending runWith(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {tool_.file("QNrepair")};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildOptions options;
        options.timeout = std::chrono::seconds(30);
        return runChild(argv, options);
    }

    void expectRepaired(const Ending& ending, const std::string& file) {
        EXPECT_EQ(ending.code, 0) << testsupport::readBytes(logPath()) << ending.errors;
        EXPECT_TRUE(markerExists());
        EXPECT_EQ(testsupport::integrityCheck(file), "ok");
    }

    // The run read `seen` as the data source and found no such file.
    void expectMissing(const Ending& ending, const std::string& seen) {
        EXPECT_EQ(ending.code, 1) << ending.errors;
        EXPECT_FALSE(markerExists());
        EXPECT_EQ(logMessages(), std::vector<std::string>{"修復するファイル　(" + seen + ") がありません。"});
    }
};

// Nested folders making a path of some 1,800 bytes: longer than the 512 bytes SQLite's unix layer
// allows unless built with the platform's limit.
std::string deepName() {
    std::string name;
    for (int depth = 0; depth < 9; ++depth) name += std::string(200, 'd') + "/";
    return name + "deep.mdb";
}

// File names the file system allows, each repaired as any other.
TEST_F(HostileInput, OddFileNamesAreRepaired) {
    for (const std::string& name : {std::string("caf\xe9 \xff\xfe.mdb"), std::string("tab\tbell\x01 del\x7f.mdb"),
                                   std::string("line\nbreak\rreturn.mdb"), std::string("設計 \"書\" 'x' (1) %s%n.mdb"),
                                   std::string(200, 'n') + ".mdb", deepName()}) {
        SCOPED_TRACE(name);
        const std::string file = fileNeedingRepair("design", kDesignKey, name);
        expectRepaired(runWith({"Data Source=" + file + ";Database Password=" + kDesignKey}), file);
        fs::remove(file);
    }
}

// SQLite reads a file name starting with "file:" as a URI when built to: a relative path that looks
// like one must still name that file, not the one the URI would (here a file of another kind).
TEST_F(HostileInput, RelativePathLikeAUriNamesItsOwnFile) {
    const std::string named = fileNeedingRepair("design", kDesignKey, "file:x.mdb");
    const std::string other = dataFile("work", "x.mdb");
    const std::string otherBefore = testsupport::readBytes(other);
    ChildOptions options;
    options.workingDirectory = tool_.file("data");
    expectRepaired(runChild({tool_.file("QNrepair"), "Data Source=file:x.mdb;Database Password=" + kDesignKey}, options),
                   named);
    EXPECT_TRUE(testsupport::readBytes(other) == otherBefore);
}

// The command line is split at every ";" and each piece at every "=": a path holding either
// cannot be named, and the run must say what it read instead of touching another file. (Runs of
// separators as such are the parser's test and its fuzzer's.)
TEST_F(HostileInput, SeparatorsInPathsAndRunsOfSeparators) {
    const std::string semicolon = fileNeedingRepair("design", kDesignKey, "a;b.mdb");
    const std::string equals = fileNeedingRepair("design", kDesignKey, "a=b.mdb");
    const std::string plain = fileNeedingRepair("design", kDesignKey, "plain.mdb");
    const std::string semicolonBefore = testsupport::readBytes(semicolon);
    const std::string equalsBefore = testsupport::readBytes(equals);
    const std::string key = ";Database Password=" + kDesignKey;

    expectMissing(runWith({"Data Source=" + semicolon + key}), tool_.file("data/a"));
    expectMissing(runWith({"Data Source=" + equals + key}), "");
    expectMissing(runWith({"Data Source==" + plain + key}), "");
    EXPECT_TRUE(testsupport::readBytes(semicolon) == semicolonBefore);
    EXPECT_TRUE(testsupport::readBytes(equals) == equalsBefore);

    expectRepaired(runWith({";;;;Data Source=" + plain + ";;;;Database Password=" + kDesignKey + ";;;;"}), plain);
    // Words of an unquoted command line come back joined by single blanks.
    expectRepaired(runWith({"Data", "Source=" + plain + ";Database", "Password=" + kDesignKey}), plain);
}

TEST_F(HostileInput, LongestCommandLineTheSystemPasses) {
    // One argument may hold up to 128 KiB, its terminating NUL included.
    constexpr std::size_t kLongest = 131071;
    const std::string head = "Data Source=" + tool_.file("data/");
    const std::string tail = ".mdb;Database Password=" + kDesignKey;
    const std::string source = tool_.file("data/") + std::string(kLongest - head.size() - tail.size(), 'x') + ".mdb";
    expectMissing(runWith({"Data Source=" + source + ";Database Password=" + kDesignKey}), source);
}

TEST_F(HostileInput, PasswordsThatAreNotKeys) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    for (const std::string& password : {std::string(20000, 'p'), std::string("\xff\xfe\x01"), std::string("PWD"),
                                       std::string(" QHWUNK5136"), std::string("QHWUNK5136 ")}) {
        SCOPED_TRACE(password.substr(0, 20));
        const Ending ending = runWith({"Data Source=" + file + ";Database Password=" + password});
        expectFailureLeavingFile(ending, file, before);
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], "ファイル　(" + file + ") を最適化できませんでした。ファイル '" + file + "' のパスワードが違います。");
    }
}

// What the path names is not a regular file: nothing is opened, let alone replaced.
TEST_F(HostileInput, PathsThatNameNoRegularFile) {
    const std::string target = fileNeedingRepair("design", kDesignKey, "target.mdb");
    const std::string before = testsupport::readBytes(target);
    fs::create_symlink(tool_.file("data/loop-b.mdb"), tool_.file("data/loop-a.mdb"));
    fs::create_symlink(tool_.file("data/loop-a.mdb"), tool_.file("data/loop-b.mdb"));
    fs::create_symlink(tool_.file("data/nowhere.mdb"), tool_.file("data/dangling.mdb"));
    fs::create_directories(tool_.file("data/folder"));
    fs::create_symlink(tool_.file("data/folder"), tool_.file("data/to-folder.mdb"));
    ASSERT_EQ(::mkfifo(tool_.file("data/fifo.mdb").c_str(), 0600), 0);
    for (const std::string& path : {tool_.file("data/loop-a.mdb"), tool_.file("data/dangling.mdb"),
                                   tool_.file("data/to-folder.mdb"), tool_.file("data/fifo.mdb"), std::string("/dev/zero"),
                                   tool_.file("data/target.mdb/"), tool_.file("data/target.mdb\\")}) {
        SCOPED_TRACE(path);
        expectMissing(runWith({"Data Source=" + path + ";Database Password=" + kDesignKey}), path);
    }
    EXPECT_TRUE(testsupport::readBytes(target) == before);
}

// The scratch copy that kinds without a rebuild leave in temp/, named as the file to repair
// directly or through a link: the leftover copy is cleared before compaction, so it must be
// recognised as the file itself first.
TEST_F(HostileInput, ScratchCopyItselfIsNotClearedAway) {
    fs::create_directories(tool_.file("temp"));
    fs::copy_file(dataFile("design"), scratchPath());
    const std::string before = testsupport::readBytes(scratchPath());
    fs::create_symlink(scratchPath(), tool_.file("data/link.mdb"));
    for (const std::string& path : {scratchPath(), tool_.file("data/link.mdb")}) {
        SCOPED_TRACE(path);
        const Ending ending = runWith({"Data Source=" + path + ";Database Password=" + kDesignKey});
        expectFailureLeavingFile(ending, scratchPath(), before);
        const std::vector<std::string> lines = logMessages();
        ASSERT_EQ(lines.size(), 3U);
        EXPECT_EQ(lines[0], "ファイル　(" + path + ") を最適化できませんでした。ファイル '" + path +
                                "' は修復用の一時ファイルのため、修復できません。");
    }
}

// Links planted at the names the tool writes or deletes, each leading to another program's files:
// a database whose committed rows are still only in its write-ahead log, open meanwhile. A link is
// removed as a link, never followed: the repair goes on, and nothing the link leads to changes.
// The scratch folder itself as a link stops the run, saying why.
TEST_F(HostileInput, LinksPlantedWhereTheToolWritesAreNeverFollowed) {
    const std::string file = fileNeedingRepair("design", kDesignKey);
    const std::string before = testsupport::readBytes(file);
    const testsupport::TempDir elsewhere;
    const std::string victim = elsewhere.file("victim.db");
    testsupport::Sqlite3Session owner(victim);
    owner.run("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; CREATE TABLE t(x); INSERT INTO t VALUES('only in the log');");
    const auto victims = [&] {
        std::string bytes;
        for (const char* suffix : {"", "-wal", "-shm"}) bytes += testsupport::readBytes(victim + suffix) + "|";
        return bytes;
    };
    const std::string victimsBefore = victims();
    ASSERT_NE(testsupport::readBytes(victim + "-wal"), "");
    fs::create_directories(tool_.file("temp"));
    struct Planted {
        std::string name;
        std::string leadsTo;
    };
    for (const Planted& planted : {Planted{scratchPath(), victim}, Planted{scratchPath() + "-journal", victim + "-wal"},
                                   Planted{scratchPath() + "-wal", victim + "-wal"},
                                   Planted{scratchPath() + "-shm", victim + "-shm"},
                                   Planted{tool_.file("temp/repair.lock"), victim},
                                   Planted{tool_.file("data/.file.mdb.qnrepair"), victim},
                                   Planted{tool_.file("data/.file.mdb.qnrepair-kept"), victim}}) {
        SCOPED_TRACE(planted.name);
        testsupport::writeBytes(file, before);
        fs::remove(planted.name);
        fs::create_symlink(planted.leadsTo, planted.name);
        expectRepaired(runWith({"Data Source=" + file + ";Database Password=" + kDesignKey}), file);
        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(planted.name))) << "the link is still there";
        EXPECT_TRUE(victims() == victimsBefore) << "a file the link leads to changed";
    }

    fs::remove_all(tool_.file("temp"));
    fs::create_directories(elsewhere.file("temp"));
    fs::create_directory_symlink(elsewhere.file("temp"), tool_.file("temp"));
    testsupport::writeBytes(file, before);
    const Ending ending = runWith({"Data Source=" + file + ";Database Password=" + kDesignKey});
    expectFailureLeavingFile(ending, file, before);
    ASSERT_FALSE(logMessages().empty());
    EXPECT_EQ(logMessages().front(), "ファイル　(" + file + ") を最適化できませんでした。修復用の一時フォルダー '" +
                                         tool_.file("temp") + "' を使えません (シンボリック リンクです)。");
    EXPECT_TRUE(fs::is_empty(elsewhere.file("temp")));
    EXPECT_TRUE(victims() == victimsBefore);
}

}  // namespace
}  // namespace faults
