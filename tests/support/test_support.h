#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A path named in UTF-8, as the tests and the tools name files, and back: a plain std::string
// would be read in the ANSI code page on Windows.
std::filesystem::path pathOf(const std::string& utf8);
std::string utf8Of(const std::filesystem::path& path);

// A fresh directory removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // `name` below the directory, its "/" written as the system's separator, as the tools join.
    std::string file(const std::string& name) const { return utf8Of(path_ / pathOf(name).make_preferred()); }

private:
    std::filesystem::path path_;
};

struct ProcessResult {
    int exitCode = -1;  // 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs `argv` (argv[0] a path) with the given extra environment ("NAME=value"), no stdin. On
// Windows the arguments are written into one command line as its start-up code splits them,
// quoted only where they hold a blank or a quote or are empty.
ProcessResult run(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

// This process, for names that other test processes running at once do not make.
unsigned long processId();

// The file name of the program `name` on this system ("name.exe" on Windows).
std::string executableName(const std::string& name);
// The build's executables.
std::string binPath(const std::string& name);

// The log at `path`, written in the system's narrow encoding, as UTF-8.
std::string readLog(const std::string& path);

// Whether this is a POSIX system (tests of POSIX means, such as a shell's limits, skip elsewhere).
bool onPosix();

// Makes `link` a symbolic link to the file `target`: empty, or why the system made none.
std::string makeSymlink(const std::string& target, const std::string& link);

// Runs build/bin/qndb with `args`; fails the test on a non-zero exit unless `mayFail`.
ProcessResult qndb(const std::vector<std::string>& args, bool mayFail = false);

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// The command line of the sqlite3 shell built from the engine's own SQLite, with `args` after the
// options that fix what the tests read from it and may do with it: rows as "a|b", no header,
// Null as nothing, bytes as stored, no ~/.sqliterc, a schema that may be damaged on purpose.
std::vector<std::string> sqlite3Command(const std::vector<std::string>& args);
// Runs that shell.
ProcessResult runSqlite3(const std::vector<std::string>& args);

// "ok" for a sound file, SQLite's report otherwise, read with the sqlite3 CLI.
std::string integrityCheck(const std::string& path);
// One query through the sqlite3 CLI, trimmed output.
std::string sqlite3Query(const std::string& path, const std::string& sql);
// Renames `column` in the stored definition of `table` alone, as a stray bit would: SQLite's
// own check still passes, and every statement naming the column fails.
void garbleDefinition(const std::string& path, const std::string& table, const std::string& column);

}  // namespace testsupport
