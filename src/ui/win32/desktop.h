#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

namespace ui::win32 {

// The system calls through which the Win32 view reaches the desktop: the program uses
// systemDesktop(); tests hand the window fakes that answer in the user's place.
struct Desktop {
    // GetOpenFileNameW: true when a file was picked into `dialog.lpstrFile`.
    std::function<bool(OPENFILENAMEW& dialog)> openFileName;
    // MessageBoxW: the button pressed (IDOK, IDYES, IDNO).
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)> messageBox;
    // MessageBeep.
    std::function<void(UINT type)> beep;
    // ShellExecuteW with no working folder: its result, above 32 when the program started.
    std::function<INT_PTR(HWND owner, const std::wstring& verb, const std::wstring& file,
                          const std::wstring& parameters, int show)>
        shellExecute;
};

Desktop systemDesktop();

}  // namespace ui::win32
