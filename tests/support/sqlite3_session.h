#pragma once

// Another program's connection to a file: a sqlite3 CLI process fed statements one at a time,
// so that it can hold a lock or a transaction open while the code under test runs. Ending the
// session kills the process as a crash would, in the middle of whatever it was doing.

#include <memory>
#include <string>

namespace testsupport {

class Sqlite3Session {
public:
    explicit Sqlite3Session(const std::string& path);
    ~Sqlite3Session();
    Sqlite3Session(const Sqlite3Session&) = delete;
    Sqlite3Session& operator=(const Sqlite3Session&) = delete;

    // Runs `sql` and returns what the CLI printed for it, errors included.
    std::string run(const std::string& sql);

private:
    struct Process;  // the system's side
    std::unique_ptr<Process> process_;
};

}  // namespace testsupport
