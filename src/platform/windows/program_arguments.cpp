#include "platform/program_arguments.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string_view>

#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// The command line after the program's name, as Windows' own start-up splits it off: a quoted
// name ends at the closing quote, another at the first blank; the blanks after it go too.
std::wstring_view afterProgramName(std::wstring_view line) {
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        const std::size_t closing = line.find(L'"', 1);
        at = closing == std::wstring_view::npos ? line.size() : closing + 1;
    } else {
        while (at < line.size() && line[at] != L' ' && line[at] != L'\t') ++at;
    }
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
    return line.substr(at);
}

}  // namespace

std::string commandLine(int, char**) {
    std::wstring_view rest = afterProgramName(GetCommandLineW());
    // Most process APIs write a single argument wrapped in one pair of quotes: what is inside is
    // what the host meant.
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"' &&
        rest.substr(1, rest.size() - 2).find(L'"') == std::wstring_view::npos)
        rest = rest.substr(1, rest.size() - 2);
    return windows::utf8(std::wstring(rest));
}

std::vector<std::string> arguments(int, char**) {
    int count = 0;
    wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(windows::utf8(split[i]));
    LocalFree(split);
    return args;
}

void useBinaryOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace platform
