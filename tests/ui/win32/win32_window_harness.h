#pragma once

#include <windows.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/win32/repair_window.h"
#include "ui/window_layout.h"
#include "ui/window_mode.h"

// The file dialog as the window set it up, read while it was open.
struct ChooserCall {
    HWND owner = nullptr;
    std::wstring title;
    std::wstring filter;  // every string with its NUL, without the list's closing one
    std::wstring defaultExtension;
    std::wstring initialFolder;
    DWORD flags = 0;
};

// A message box as MessageBoxW was asked for it, with the bar of the window behind it.
struct ShownBox {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    bool barVisible = false;
};

struct ShellCall {
    HWND owner = nullptr;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    int show = 0;
};

// Stands in for the user and the desktop around the window: answers the dialog and the boxes as
// told and records every call. Files exist when they do on disk.
struct FakeDesktop {
    ui::win32::Desktop desktop(const std::function<HWND()>& bar);
    // The core's services, the tool directory and the log being the harness's own (set first).
    ui::CoreServices core();

    std::deque<std::optional<std::wstring>> choices;  // nothing: a cancelled dialog
    int yesNoAnswer = IDNO;
    // ShellExecuteW's result for a text file: above 32 when a viewer started.
    INT_PTR textFileResult = 42;
    std::function<bool(const std::string& path, const std::string& kindKey)> repair = [](auto&, auto&) {
        return true;
    };

    std::vector<ChooserCall> dialogs;
    std::vector<ShownBox> boxes;
    std::vector<UINT> beeps;
    std::vector<ShellCall> shellCalls;
};

// A shown RepairWindow over a FakeDesktop, in window mode (the core's hooks and the keep-alive
// installed), with a tool directory of its own.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    HWND window() const { return form->handle(); }
    HWND item(const ui::layout::Control& design) const;
    HWND option(int index) const { return item(ui::layout::kKindOptions[static_cast<std::size_t>(index)].button); }
    void click(const ui::layout::Control& design);
    // Picks `path` in the dialog; nothing cancels it.
    void choose(const std::optional<std::wstring>& path);
    // The index of the one option button set; -1 when none is, -2 when more than one is.
    int checkedOption() const;
    // Runs the window's message loop over what is queued now, then returns, open or not.
    void runQueued();
    // An empty file below the tool directory; its path in UTF-8.
    std::string makeFile(const std::string& relativePath) const;
    const std::filesystem::path& toolDirectory() const { return toolDir_; }

    FakeDesktop desktop;
    std::unique_ptr<ui::win32::RepairWindow> form;

private:
    std::filesystem::path toolDir_;
    ui::WindowMode windowMode_;
};

// The text of a window.
std::wstring textOf(HWND window);
// A window's place in its parent's client area.
RECT placeOf(HWND window);
