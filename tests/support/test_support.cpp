#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/sqlite_files.h"

namespace testsupport {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = fs::temp_directory_path() /
            ("qn-test-" + std::to_string(processId()) + "-" + std::to_string(counter++) + "-" + std::to_string(rd()));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string executableName(const std::string& name) { return name + QN_EXE_SUFFIX; }

std::string binPath(const std::string& name) { return std::string(QN_BIN_DIR) + "/" + executableName(name); }

ProcessResult qndb(const std::vector<std::string>& args, bool mayFail) {
    std::vector<std::string> argv = {binPath("qndb")};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessResult result = run(argv);
    if (!mayFail) {
        EXPECT_EQ(result.exitCode, 0) << "qndb failed: " << result.err;
    }
    return result;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> sqlite3Command(const std::vector<std::string>& args) {
    // -unsafe-testing: writable_schema takes effect (the shell is defensive otherwise), for the
    // tests that damage a file's schema on purpose. -vfs: the files are opened as the engine opens
    // them, long paths included.
    std::vector<std::string> argv = {binPath("sqlite3"), "-batch", "-noinit", "-unsafe-testing", "-vfs",
                                     platform::sqliteVfsName(), "-list", "-noheader", "-separator", "|",
                                     "-nullvalue", "", "-escape", "off"};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

ProcessResult runSqlite3(const std::vector<std::string>& args) { return run(sqlite3Command(args)); }

std::string sqlite3Query(const std::string& path, const std::string& sql) {
    ProcessResult result = runSqlite3({"-readonly", path, sql});
    std::string out = result.out + result.err;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out;
}

std::string integrityCheck(const std::string& path) { return sqlite3Query(path, "PRAGMA integrity_check"); }

void garbleDefinition(const std::string& path, const std::string& table, const std::string& column) {
    const std::string sql = "PRAGMA writable_schema=ON; UPDATE sqlite_schema SET sql=replace(sql, ' " + column +
                            " ', ' " + column + "x ') WHERE name='" + table + "'";
    if (runSqlite3({path, sql}).exitCode != 0 || integrityCheck(path) != "ok")
        throw std::runtime_error("could not garble " + table + " in " + path);
}

}  // namespace testsupport
