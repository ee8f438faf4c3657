#include "platform/user_locale.h"

#include <windows.h>

#include <cstdio>

#include "platform/windows/narrowing_flags.h"
#include "platform/windows/wide_text.h"

namespace platform {

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

std::string logTimeFields() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t timeText[64] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, timeText, 64);
    const float sinceMidnight = static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond +
                                                   now.wMilliseconds / 1000.0);
    char number[64] = {};
    std::snprintf(number, sizeof number, "%.7g", static_cast<double>(sinceMidnight));
    // The locale's decimal separator, and no grouping: a plain number, as the host's tools read it.
    wchar_t decimal[8] = {};
    std::string seconds = number;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8) > 0) {
        const std::string separator = windows::utf8(decimal);
        if (const std::size_t dot = seconds.find('.'); dot != std::string::npos) seconds.replace(dot, 1, separator);
    }
    return toLogEncoding(windows::utf8(timeText) + "," + seconds + ",");
}

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
