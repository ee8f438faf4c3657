#include "support/sqlite3_session.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/test_support.h"
#include "support/windows/started_process.h"

namespace testsupport {

namespace {

// Printed after each statement, so the reply's end is known.
const std::string kDone = "qn-host-done";
constexpr auto kReplyTimeout = std::chrono::seconds(30);

}  // namespace

struct Sqlite3Session::Process {
    explicit Process(const std::string& path)
        : cli(sqlite3Command({path}), {}, {.input = true, .mergedErrors = true}) {}
    StartedProcess cli;
};

Sqlite3Session::Sqlite3Session(const std::string& path) : process_(std::make_unique<Process>(path)) {}

// The process is terminated before its input ends, so that it cannot finish on its own.
Sqlite3Session::~Sqlite3Session() = default;

std::string Sqlite3Session::run(const std::string& sql) {
    StartedProcess& cli = process_->cli;
    const std::string input = sql + "\nSELECT '" + kDone + "';\n";
    DWORD written = 0;
    if (!WriteFile(cli.input(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr) ||
        written != input.size())
        throw std::runtime_error("the other sqlite3 is gone");
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    const auto answered = [&] {
        const std::size_t at = output.find(kDone);
        return at != std::string::npos && output.find('\n', at) != std::string::npos;
    };
    while (!answered()) {
        if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("the other sqlite3 does not answer");
        std::string read;
        bool readSome = false;
        if (!readAvailable(cli.output(), read, readSome)) throw std::runtime_error("the other sqlite3 ended: " + output);
        if (!readSome) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // Line ends as on POSIX, whichever the shell writes here.
        for (const char c : read)
            if (c != '\r') output.push_back(c);
    }
    return output.substr(0, output.find(kDone));
}

}  // namespace testsupport
