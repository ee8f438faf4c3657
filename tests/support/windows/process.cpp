// Running the build's programs as child processes, the Windows way.
#include <windows.h>

#include <stdexcept>

#include "support/test_support.h"
#include "support/windows/started_process.h"
#include "platform/system_error.h"
#include "platform/windows/wide_text.h"

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

// Wine 8 answers CreateSymbolicLinkW with success and makes nothing: the link is looked for.
std::string makeSymlink(const std::string& target, const std::string& link) {
    const std::wstring name = platform::windows::wide(link);
    if (!CreateSymbolicLinkW(name.c_str(), platform::windows::wide(target).c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return platform::systemErrorText(static_cast<int>(GetLastError()));
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return "CreateSymbolicLinkW succeeded but made no link (Wine makes none)";
    return {};
}

}  // namespace testsupport
