#include "ui/win32/ui_font.h"

#include <array>
#include <cwchar>

namespace ui::win32 {

namespace {

constexpr std::array<const wchar_t*, 2> kJapaneseFaces = {L"Yu Gothic UI", L"Meiryo UI"};

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

const wchar_t* japaneseFace() {
    static const wchar_t* const face = [] {
        for (const wchar_t* candidate : kJapaneseFaces)
            if (installed(candidate)) return candidate;
        return static_cast<const wchar_t*>(nullptr);
    }();
    return face;
}

}  // namespace

HFONT createUiFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    LOGFONTW font = metrics.lfMessageFont;
    if (const wchar_t* face = japaneseFace()) wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

}  // namespace ui::win32
