// Running the build's programs as child processes, the Windows way.
#include <windows.h>

#include <stdexcept>
#include <thread>

#include "../test_support.h"
#include "started_process.h"
#include "windows/wide_text.h"

namespace testsupport {

namespace {

void drain(HANDLE pipe, std::string& sink) {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) sink.append(buffer, n);
}

}  // namespace

ProcessResult run(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    ProcessResult result;
    try {
        StartedProcess process(argv, env, {});
        std::thread errors(drain, process.errors(), std::ref(result.err));
        drain(process.output(), result.out);
        errors.join();
        result.exitCode = process.wait();
    } catch (const std::runtime_error& e) {
        result.err = e.what();
        result.exitCode = 127;
    }
    return result;
}

unsigned long processId() { return GetCurrentProcessId(); }

// The log is in the ANSI code page here.
std::string readLog(const std::string& path) {
    const std::string bytes = readBytes(path);
    if (bytes.empty()) return bytes;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
    return platform::windows::utf8(text);
}

bool onPosix() { return false; }

}  // namespace testsupport
