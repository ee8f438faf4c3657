#pragma once

#include <string>
#include <system_error>

namespace platform {

// The system's own words for the error `code` (errno on POSIX, a GetLastError code on Windows), in
// UTF-8, to follow the name of the file whose operation failed.
std::string systemErrorText(int code);
// The same for what std::filesystem reports.
std::string errorText(const std::error_code& error);

// The code of this thread's last failed system call.
int lastSystemError();

// What the system refused: its code and the file it concerns; a default one refused nothing.
// Every call of this layer that can fail returns one.
class SystemError {
public:
    SystemError() = default;
    SystemError(int code, std::string file) : code_(code), file_(std::move(file)) {}
    // The error of the system call that just failed on `file`: each side makes its errors here.
    static SystemError ofLastCall(std::string file) { return {lastSystemError(), std::move(file)}; }

    explicit operator bool() const { return code_ != 0; }
    int code() const { return code_; }
    const std::string& file() const { return file_; }
    // The system's own words for it (systemErrorText).
    std::string text() const { return systemErrorText(code_); }
    // Whether it says the disk (or the user's share of it) is full.
    bool diskFull() const;
    // Whether it says that another program holds the file open, as a virus scanner does for a
    // moment. Never on POSIX, where an open file stands in no rename's or removal's way.
    bool heldByAnother() const;

private:
    int code_ = 0;
    std::string file_;
};

}  // namespace platform
