#include "desktop.h"

#include <shellapi.h>

namespace ui::win32 {

Desktop systemDesktop() {
    return {
        .openFileName = [](OPENFILENAMEW& dialog) { return GetOpenFileNameW(&dialog) != FALSE; },
        .messageBox = [](HWND owner, const std::wstring& text, const std::wstring& caption,
                         UINT type) { return MessageBoxW(owner, text.c_str(), caption.c_str(), type); },
        .beep = [](UINT type) { MessageBeep(type); },
        // Whether a viewer opened is not examined: the log stays where the user can find it.
        .shellExecute =
            [](HWND owner, const std::wstring& verb, const std::wstring& file, int show) {
                ShellExecuteW(owner, verb.c_str(), file.c_str(), nullptr, nullptr, show);
            },
    };
}

}  // namespace ui::win32
