#include "platform/windows/wide_text.h"

#include <windows.h>

namespace platform::windows {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    // Bytes that are not UTF-8 become U+FFFD rather than failing the conversion.
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), length);
    return out;
}

std::string utf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string utf8(const std::wstring& text) { return utf8(text.data(), static_cast<int>(text.size())); }

}  // namespace platform::windows
