#include "test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = fs::temp_directory_path() /
            ("qn-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + std::to_string(rd()));
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

ProcessResult run(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        const int devnull = ::open("/dev/null", O_RDONLY);
        ::dup2(devnull, 0);
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProcessResult result;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string binPath(const std::string& name) { return std::string(QN_BIN_DIR) + "/" + name; }

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
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> sqlite3Command(const std::vector<std::string>& args) {
    // -unsafe-testing: writable_schema takes effect (the shell is defensive otherwise), for the
    // tests that damage a file's schema on purpose.
    std::vector<std::string> argv = {binPath("sqlite3"), "-batch", "-noinit", "-unsafe-testing", "-list", "-noheader",
                                     "-separator", "|", "-nullvalue", "", "-escape", "off"};
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
