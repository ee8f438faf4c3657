// Running the build's programs as child processes, the POSIX way.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/test_support.h"
#include "support/posix/child_process.h"

namespace testsupport {

// Through the one child runner, with a deadline far past any test's.
ProcessResult run(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    ChildOptions options;
    options.env = env;
    options.timeout = std::chrono::minutes(30);
    const Ending ending = Child(argv, options).wait();
    return {ending.code, ending.output, ending.errors};
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

// The log is UTF-8 here.
std::string readLog(const std::string& path) { return readBytes(path); }

bool onPosix() { return true; }

std::string makeSymlink(const std::string& target, const std::string& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0 ? std::string() : std::strerror(errno);
}

}  // namespace testsupport
