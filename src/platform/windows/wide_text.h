#pragma once

// The program's UTF-8 text and the system's UTF-16: for the Windows side, and for the Win32 view
// of the window, which includes it as "windows/wide_text.h".

#include <string>

namespace platform::windows {

std::wstring wide(const std::string& text);
std::string utf8(const std::wstring& text);
std::string utf8(const wchar_t* text, int length);

}  // namespace platform::windows
