#pragma once

// Internal to the Windows side: the program's UTF-8 text and the system's UTF-16.

#include <string>

namespace platform::windows {

std::wstring wide(const std::string& text);
std::string utf8(const std::wstring& text);
std::string utf8(const wchar_t* text, int length);

}  // namespace platform::windows
