#pragma once

// A program of the build started with pipes that the test holds, for the Windows side of the
// test support and the Windows-only cases: run() to its end, a session fed one statement at a
// time, a repair ended from outside.

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

class StartedProcess {
public:
    struct Streams {
        bool input = false;         // a pipe to write its standard input (else NUL)
        bool mergedErrors = false;  // standard error into the output pipe (else a pipe of its own)
    };
    // Starts `argv` (argv[0] a path) with `env` ("NAME=value") added to this process's
    // environment; throws std::runtime_error when it cannot be started.
    StartedProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, Streams streams);
    // Starts `program` with the command line `commandLine` exactly as written (its own name
    // included), as a host that writes the line itself does.
    StartedProcess(const std::string& program, const std::string& commandLine, const std::vector<std::string>& env,
                   Streams streams);
    ~StartedProcess();  // ends it as terminate() does, if it is still running
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    HANDLE process() const { return process_; }
    HANDLE input() const { return input_; }
    HANDLE output() const { return output_; }
    HANDLE errors() const { return errors_; }

    // Ends it at once (TerminateProcess), as a crash or the task manager would.
    void terminate();
    // Waits for its end: its exit status.
    int wait();

private:
    HANDLE process_ = nullptr;
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
    HANDLE errors_ = nullptr;
};

// Appends what `pipe` holds now to `sink`, without waiting (and sets `readSome` if there was
// anything); false once the pipe has ended.
bool readAvailable(HANDLE pipe, std::string& sink, bool& readSome);

// `argv` as one command line that the C start-up splits back into the same arguments; an argument
// is quoted only where it must be, so that a plain one reaches a program that reads the raw line
// (as QNrepair does) just as it was written.
std::string joinedCommandLine(const std::vector<std::string>& argv);

}  // namespace testsupport
