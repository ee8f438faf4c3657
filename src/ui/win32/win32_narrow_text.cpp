#include "ui/win32/win32_narrow_text.h"

#include <windows.h>

#include <stdexcept>

#include "platform/windows/wide_text.h"

namespace ui::win32 {

namespace {

// The path words are Japanese: their reading must not change with the user's locale (a Turkish
// one would lower-case "I" differently).
constexpr const wchar_t* kLocale = L"ja-JP";
constexpr DWORD kMapping = LCMAP_HALFWIDTH | LCMAP_LOWERCASE;

int map(const std::wstring& text, wchar_t* out, int room) {
    return LCMapStringEx(kLocale, kMapping, text.data(), static_cast<int>(text.size()), out, room, nullptr, nullptr,
                         0);
}

}  // namespace

std::string toNarrowLower(const std::string& text) {
    const std::wstring wide = platform::windows::wide(text);
    if (wide.empty()) return {};
    // A wide character may become two narrow ones (ザ: ｻ and ﾞ): the system says how many.
    std::wstring narrow(static_cast<std::size_t>(map(wide, nullptr, 0)), L'\0');
    if (narrow.empty() || map(wide, narrow.data(), static_cast<int>(narrow.size())) == 0)
        throw std::runtime_error("LCMapStringEx: error " + std::to_string(GetLastError()));
    return platform::windows::utf8(narrow);
}

}  // namespace ui::win32
