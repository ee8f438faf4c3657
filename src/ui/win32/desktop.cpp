#include "ui/win32/desktop.h"

#include <shellapi.h>

namespace ui::win32 {

Desktop systemDesktop() {
    return {
        .openFileName = [](OPENFILENAMEW& dialog) { return GetOpenFileNameW(&dialog) != FALSE; },
        .messageBox = [](HWND owner, const std::wstring& text, const std::wstring& caption,
                         UINT type) { return MessageBoxW(owner, text.c_str(), caption.c_str(), type); },
        .beep = [](UINT type) { MessageBeep(type); },
        .shellExecute =
            [](HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
               int show) {
                return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, verb.c_str(), file.c_str(),
                                                               parameters.empty() ? nullptr : parameters.c_str(),
                                                               nullptr, show));
            },
    };
}

}  // namespace ui::win32
