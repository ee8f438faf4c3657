#include "log_encoding.h"

#include <windows.h>

#include "narrowing_flags.h"
#include "wide_text.h"

namespace platform {

std::string toLogEncoding(const std::string& text) {
    const std::wstring wide = windows::wide(text);
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    // What the ANSI code page lacks becomes its default character, never a lookalike.
    const UINT codePage = GetACP();
    const DWORD flags = windows::narrowingFlags(codePage);
    const int size = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace platform
