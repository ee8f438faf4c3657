#include "support/posix/child_process.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "support/test_support.h"

namespace testsupport {

namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string key = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& e : extra) replaced = replaced || e.rfind(key, 0) == 0;
        if (!replaced) result.push_back(text);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

std::string contentsOf(int fd) {
    std::string contents;
    char buffer[4096];
    ssize_t n = 0;
    for (off_t at = 0; (n = ::pread(fd, buffer, sizeof buffer, at)) > 0; at += n)
        contents.append(buffer, static_cast<std::size_t>(n));
    return contents;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the child between fork and exec.
void arrange(const ChildOptions& options) {
    if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) ::_exit(127);
    if (options.fileSizeLimit) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.withoutPermissionOverride && ::geteuid() == 0) {
        // Dropped from the bounding set, they do not come back with the exec.
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    }
}

}  // namespace

Child::Child(const std::vector<std::string>& argv, const ChildOptions& options)
    : deadline_(std::chrono::steady_clock::now() + options.timeout) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env = environmentWith(options.env);
    std::vector<char*> argp = pointersTo(args);
    std::vector<char*> envp = pointersTo(env);
    outFd_ = ::memfd_create("child-stdout", MFD_CLOEXEC);
    errFd_ = ::memfd_create("child-stderr", MFD_CLOEXEC);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(outFd_, 1);
        ::dup2(errFd_, 2);
        arrange(options);
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
}

Child::~Child() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) ::close(outFd_);
    if (errFd_ >= 0) ::close(errFd_);
}

bool Child::waitStopped() {
    while (!status_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG | WUNTRACED);
        if (done == pid_ && WIFSTOPPED(status)) return true;
        if (done == pid_) status_ = status;
        if (std::chrono::steady_clock::now() > deadline_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void Child::resume() { ::kill(pid_, SIGCONT); }

Ending Child::wait() {
    Ending ending;
    bool timedOut = false;
    while (!status_) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = status;
        } else if (std::chrono::steady_clock::now() > deadline_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            status_ = status;
            timedOut = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (!timedOut)
        ending.code = WIFEXITED(*status_) ? WEXITSTATUS(*status_) : 128 + WTERMSIG(*status_);
    ending.output = contentsOf(outFd_);
    ending.errors = contentsOf(errFd_);
    return ending;
}

Ending runChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    return Child(argv, options).wait();
}

bool permissionBitsHold() {
    static const bool hold = [] {
        testsupport::TempDir dir;
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        ChildOptions options;
        options.withoutPermissionOverride = true;
        return runChild({"/usr/bin/touch", dir.file("probe")}, options).code != 0;
    }();
    return hold;
}

}  // namespace testsupport
