// Running the build's programs as child processes, the Windows way.
#include <windows.h>

#include <stdexcept>

#include "../test_support.h"
#include "started_process.h"
#include "windows/wide_text.h"

namespace testsupport {

// The pipes are read until the program has ended and they are empty, not until they close: a
// process that Wine starts for a GUI program (explorer.exe for the desktop) inherits the program's
// standard streams and outlives it.
ProcessResult run(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    ProcessResult result;
    try {
        StartedProcess process(argv, env, {});
        bool outOpen = true, errOpen = true;
        for (;;) {
            const bool ended = WaitForSingleObject(process.process(), 0) == WAIT_OBJECT_0;
            bool readSome = false;
            if (outOpen) outOpen = readAvailable(process.output(), result.out, readSome);
            if (errOpen) errOpen = readAvailable(process.errors(), result.err, readSome);
            if ((ended && !readSome) || (!outOpen && !errOpen)) break;
            if (!readSome) WaitForSingleObject(process.process(), 5);
        }
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
