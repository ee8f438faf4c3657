#pragma once

// The host's own connection to a data file: a sqlite3 CLI process fed statements one at a
// time, so that it can hold a lock or a transaction open while a repair runs.

#include <sys/types.h>

#include <string>

namespace faults {

class HostSession {
public:
    explicit HostSession(const std::string& path);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Runs `sql` and returns what the CLI printed for it, errors included.
    std::string run(const std::string& sql);

private:
    pid_t pid_ = -1;
    int socket_ = -1;
};

// The statement the host writes with in these tests, and how to see that it was kept.
inline const std::string kHostWrite = "UPDATE Lock SET Payload = 'written by the host' WHERE rowid = 1;";
inline const std::string kHostWriteSeen = "SELECT count(*) FROM Lock WHERE Payload = 'written by the host'";

}  // namespace faults
