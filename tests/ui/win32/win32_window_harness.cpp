#include "ui/win32/win32_window_harness.h"

#include <commctrl.h>

#include <atomic>
#include <fstream>

#include "ui/win32/message_pump.h"
#include "common/module_state.h"
#include "platform/paths.h"
#include "ui/win32/win32_window_hooks.h"

namespace {

std::wstring filterList(const wchar_t* filter) {
    std::wstring list;
    for (const wchar_t* entry = filter; *entry != L'\0'; entry += wcslen(entry) + 1) list.append(entry, wcslen(entry) + 1);
    return list;
}

std::filesystem::path freshToolDirectory() {
    static std::atomic<int> count{0};
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("qnrepair-win32-" + std::to_string(GetCurrentProcessId()) + "-" +
                                          std::to_string(count++));
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

ui::win32::Desktop FakeDesktop::desktop(const std::function<HWND()>& bar) {
    return {
        .openFileName =
            [this](OPENFILENAMEW& dialog) {
                dialogs.push_back({dialog.hwndOwner, dialog.lpstrTitle, filterList(dialog.lpstrFilter),
                                   dialog.lpstrDefExt, dialog.lpstrInitialDir, dialog.Flags});
                const std::optional<std::wstring> choice = choices.front();
                choices.pop_front();
                if (!choice) return false;
                wcsncpy(dialog.lpstrFile, choice->c_str(), dialog.nMaxFile);
                return true;
            },
        .messageBox =
            [this, bar](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
                boxes.push_back({owner, text, caption, type, IsWindowVisible(bar()) != FALSE});
                return (type & MB_TYPEMASK) == MB_YESNO ? yesNoAnswer : IDOK;
            },
        .beep = [this](UINT type) { beeps.push_back(type); },
        .shellExecute =
            [this](HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                   int show) {
                shellCalls.push_back({owner, verb, file, parameters, show});
                return file.ends_with(L".txt") ? textFileResult : INT_PTR{42};
            },
    };
}

ui::CoreServices FakeDesktop::core() {
    return {
        .fileExists = [](const std::string& path) { return std::filesystem::is_regular_file(platform::toPath(path)); },
        .repair = [this](const std::string& path,
                         const std::string& kindKey) { return RepairOutcome{repair(path, kindKey), {}}; },
        .toolDirectory = repairM::toolDirectory(),
        .logPath = repairM::LogPath,
    };
}

WindowHarness::WindowHarness()
    : toolDir_(freshToolDirectory()),
      windowMode_(ui::win32::showMessageBox, ui::win32::StepProgress, ui::win32::paintAndRunTimers) {
    repairM::setToolDirectory(platform::fromPath(toolDir_));
    form = std::make_unique<ui::win32::RepairWindow>(
        desktop.desktop([this] { return item(ui::layout::kProgressBar); }), desktop.core());
    ShowWindow(window(), SW_SHOW);
}

WindowHarness::~WindowHarness() {
    form.reset();
    std::error_code ignored;
    std::filesystem::remove_all(toolDir_, ignored);
}

HWND WindowHarness::item(const ui::layout::Control& design) const {
    return GetDlgItem(window(), ui::win32::controlId(design));
}

void WindowHarness::click(const ui::layout::Control& design) { SendMessageW(item(design), BM_CLICK, 0, 0); }

void WindowHarness::choose(const std::optional<std::wstring>& path) {
    desktop.choices.push_back(path);
    click(ui::layout::kChooseButton);
}

int WindowHarness::checkedOption() const {
    int checked = -1;
    for (int i = 0; i < static_cast<int>(ui::layout::kKindOptions.size()); ++i)
        if (SendMessageW(option(i), BM_GETCHECK, 0, 0) == BST_CHECKED) checked = checked == -1 ? i : -2;
    return checked;
}

void WindowHarness::runQueued() {
    // WM_QUIT comes out of the queue only once it holds nothing else.
    PostQuitMessage(0);
    ui::win32::runModal(window());
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

std::string WindowHarness::makeFile(const std::string& relativePath) const {
    const std::filesystem::path path = toolDir_ / platform::toPath(relativePath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream{path};
    return platform::fromPath(path);
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT placeOf(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}
