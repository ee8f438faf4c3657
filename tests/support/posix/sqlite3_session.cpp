#include "support/sqlite3_session.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "support/test_support.h"

namespace testsupport {

namespace {

// Printed after each statement, so the reply's end is known.
const std::string kDone = "qn-host-done";
constexpr int kReplyTimeoutMs = 30000;

}  // namespace

struct Sqlite3Session::Process {
    pid_t pid = -1;
    int socket = -1;
};

Sqlite3Session::Sqlite3Session(const std::string& path) : process_(std::make_unique<Process>()) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) throw std::runtime_error("socketpair");
    std::vector<std::string> command = sqlite3Command({path});
    process_->pid = ::fork();
    if (process_->pid == 0) {
        ::dup2(ends[1], 0);
        ::dup2(ends[1], 1);
        ::dup2(ends[1], 2);
        std::vector<char*> argv;
        for (std::string& arg : command) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    process_->socket = ends[0];
}

Sqlite3Session::~Sqlite3Session() {
    // Killed before its input ends, so that it cannot finish what it was doing on its own.
    ::kill(process_->pid, SIGKILL);
    ::waitpid(process_->pid, nullptr, 0);
    ::close(process_->socket);
}

std::string Sqlite3Session::run(const std::string& sql) {
    const std::string input = sql + "\nSELECT '" + kDone + "';\n";
    const int socket = process_->socket;
    if (::send(socket, input.data(), input.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(input.size()))
        throw std::runtime_error("the other sqlite3 is gone");
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    while (output.find(kDone + "\n") == std::string::npos) {
        pollfd ready{socket, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline || ::poll(&ready, 1, 100) < 0)
            throw std::runtime_error("the other sqlite3 does not answer");
        if ((ready.revents & (POLLIN | POLLHUP)) == 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) throw std::runtime_error("the other sqlite3 ended: " + output);
        output.append(buffer, static_cast<std::size_t>(n));
    }
    return output.substr(0, output.find(kDone + "\n"));
}

}  // namespace testsupport
