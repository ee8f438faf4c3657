#include "support/windows/started_process.h"

#include <algorithm>
#include <stdexcept>

#include "platform/windows/wide_text.h"

namespace testsupport {

namespace {

using platform::windows::wide;

// This process's environment with `extra` added, as CreateProcessW takes it.
std::wstring environmentWith(const std::vector<std::string>& extra) {
    std::wstring block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1) block.append(entry).push_back(L'\0');
    FreeEnvironmentStringsW(own);
    for (const std::string& e : extra) block.append(wide(e)).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

std::string quotedIfNeeded(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: doubled there, and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

// A pipe whose one end the child inherits; `ours` is the other end.
HANDLE childEnd(HANDLE& ours, bool childWrites) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("CreatePipe");
    ours = childWrites ? read : write;
    SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    return childWrites ? write : read;
}

void closeIfOpen(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

bool readAvailable(HANDLE pipe, std::string& sink, bool& readSome) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
    while (available > 0) {
        char buffer[4096];
        DWORD n = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &n, nullptr) || n == 0) return false;
        sink.append(buffer, n);
        available -= n;
        readSome = true;
    }
    return true;
}

std::string joinedCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& arg : argv) {
        if (!line.empty()) line.push_back(' ');
        line += quotedIfNeeded(arg);
    }
    return line;
}

StartedProcess::StartedProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                               Streams streams)
    : StartedProcess(argv.at(0), joinedCommandLine(argv), env, streams) {}

StartedProcess::StartedProcess(const std::string& program, const std::string& commandLine,
                               const std::vector<std::string>& env, Streams streams) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = streams.input ? childEnd(input_, false)
                                      : CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                    OPEN_EXISTING, 0, nullptr);
    HANDLE childOutput = childEnd(output_, true);
    HANDLE childErrors = nullptr;
    if (!streams.mergedErrors) childErrors = childEnd(errors_, true);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = streams.mergedErrors ? childOutput : childErrors;
    std::wstring line = wide(commandLine);
    std::wstring environment = environmentWith(env);
    PROCESS_INFORMATION started{};
    BOOL ok = FALSE;
    // Wine, busy starting many processes at once, now and then refuses one with an internal error.
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
        ok = CreateProcessW(wide(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                            CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr, &startup,
                            &started);
        if (!ok && GetLastError() != ERROR_INTERNAL_ERROR) break;
        if (!ok) Sleep(100);
    }
    // Only the child holds its ends now, so that a pipe ends when the child does.
    closeIfOpen(childInput);
    closeIfOpen(childOutput);
    closeIfOpen(childErrors);
    if (!ok) {
        closeIfOpen(input_);
        closeIfOpen(output_);
        closeIfOpen(errors_);
        throw std::runtime_error("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
}

StartedProcess::~StartedProcess() {
    terminate();
    closeIfOpen(input_);
    closeIfOpen(output_);
    closeIfOpen(errors_);
    closeIfOpen(process_);
}

void StartedProcess::terminate() {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 137);
        WaitForSingleObject(process_, INFINITE);
    }
}

int StartedProcess::wait() {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

}  // namespace testsupport
