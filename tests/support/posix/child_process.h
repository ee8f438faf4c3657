#pragma once

// The POSIX side's one way of running the build's programs: a child process with extra
// environment, and for the fault tests a file-size limit, no power to override file permissions,
// a deadline; it can be waited for while it stops itself, and resumed. Its standard output and
// error are kept whole, whatever their size.

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ChildOptions {
    std::vector<std::string> env;  // "NAME=value", replacing any inherited NAME
    // RLIMIT_FSIZE; SIGXFSZ is ignored so that a write past it fails with EFBIG instead of killing.
    std::optional<rlim_t> fileSizeLimit;
    // Root loses CAP_DAC_OVERRIDE and its kin across exec, so permission bits hold for it too.
    bool withoutPermissionOverride = false;
    std::string workingDirectory;  // the parent's when empty
    std::chrono::milliseconds timeout{60000};
};

// What a child's end looked like.
struct Ending {
    static constexpr int kTimedOut = -2;
    int code = kTimedOut;  // exit status, 128 + signal when killed, kTimedOut when it ran past the deadline
    std::string output;    // what it wrote to stdout
    std::string errors;    // what it wrote to stderr (sanitizer reports, for a failure message)
};

class Child {
public:
    Child(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // True once the child has stopped itself (SIGSTOP); false when it ended or ran past the deadline.
    bool waitStopped();
    void resume();
    // Waits for the end; a child past the deadline is killed and reported as timed out.
    Ending wait();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::chrono::steady_clock::time_point deadline_;
    std::optional<int> status_;
};

Ending runChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// Whether a child started withoutPermissionOverride is refused writing into a folder without
// write permission; where it is not (a root that cannot drop capabilities) such tests skip.
bool permissionBitsHold();

}  // namespace testsupport
