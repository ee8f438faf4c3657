#include "ui/win32/repair_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/win32/win32_file_chooser.h"
#include "common/hooks.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/module_version.h"
#include "ui/win32/win32_narrow_text.h"
#include "ui/win32/ui_font.h"
#include "ui/window_caption.h"
#include "platform/windows/wide_text.h"

namespace ui::win32 {

namespace {

using platform::windows::wide;

// The core's box styles and answers are the system's own numbers.
static_assert(repairM::vbYesNo == MB_YESNO && repairM::vbExclamation == MB_ICONEXCLAMATION &&
              repairM::vbInformation == MB_ICONINFORMATION && repairM::vbDefaultButton2 == MB_DEFBUTTON2);
static_assert(repairM::vbOK == IDOK && repairM::vbYes == IDYES && repairM::vbNo == IDNO);

constexpr const wchar_t* kClassName = L"repairF";
// A fixed frame: a caption with the system menu and the minimize box, no resizing.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstControlId = 100;
// 1 in the version resource (src/resources/windows/qnrepair.rc.in).
constexpr int kIconId = 1;

RepairWindow* loadedWindow = nullptr;

bool takesFocus(const layout::Control* design) {
    return design->kind == layout::ControlKind::Button || design->kind == layout::ControlKind::OptionButton;
}

const wchar_t* classOf(layout::ControlKind kind) {
    switch (kind) {
        case layout::ControlKind::Label:
            return WC_STATICW;
        case layout::ControlKind::ProgressBar:
            return PROGRESS_CLASSW;
        default:
            return WC_BUTTONW;
    }
}

DWORD styleOf(const layout::Control& design) {
    switch (design.kind) {
        case layout::ControlKind::Label:
            // A path shows as it is ("&" too), shortened in the middle when it is long.
            return WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE |
                   (&design == &layout::kPathLabel ? SS_PATHELLIPSIS : 0);
        case layout::ControlKind::Button:
            return WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
        case layout::ControlKind::OptionButton:
            // The set one is the group's tab stop: the button control moves WS_TABSTOP as it is set.
            return WS_VISIBLE | BS_AUTORADIOBUTTON;
        case layout::ControlKind::ProgressBar:
            return 0;
    }
    return 0;
}

void registerClass(HINSTANCE instance, WNDPROC procedure) {
    static const bool registered = [&] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) throw std::runtime_error("RegisterClassExW: error " + std::to_string(GetLastError()));
}

// In the middle of the work area of the window's monitor.
void centre(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT& area = monitor.rcWork;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - (frame.right - frame.left)) / 2,
                 area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int controlId(const layout::Control& design) {
    return &design == &layout::kCancelButton ? IDCANCEL : kFirstControlId + design.tab;
}

RepairWindow::RepairWindow(Desktop desktop, CoreServices core)
    : desktop_(std::move(desktop)), flow_(*this, std::move(core)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance, windowProc);
    // WM_NCCREATE sets window_.
    CreateWindowExW(0, kClassName, wide(windowCaption(moduleVersion())).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (window_ == nullptr) throw std::runtime_error("CreateWindowExW: error " + std::to_string(GetLastError()));
    loadedWindow = this;
    createControls();
    layOut(GetDpiForWindow(window_));
    centre(window_);
    flow_.open();
}

RepairWindow::~RepairWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

RepairWindow* RepairWindow::loaded() { return loadedWindow; }

void RepairWindow::createControls() {
    // Focus moves in the order of creation. The labels and the bar take none: created after the
    // controls that do, they stand outside the option buttons' group, which their tab indexes
    // would split.
    std::vector<const layout::Control*> order = layout::controlsInTabOrder();
    std::stable_partition(order.begin(), order.end(), takesFocus);
    bool firstOption = true;
    for (const layout::Control* design : order) {
        DWORD style = WS_CHILD | styleOf(*design);
        // Every control is a group of its own, except the option buttons, which make one.
        if (design->kind != layout::ControlKind::OptionButton || firstOption) style |= WS_GROUP;
        if (design->kind == layout::ControlKind::OptionButton) firstOption = false;
        CreateWindowExW(0, classOf(design->kind), wide(design->caption).c_str(), style, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(*design))), GetModuleHandleW(nullptr),
                        nullptr);
    }
    SendMessageW(item(layout::kProgressBar), PBM_SETRANGE32, 0, layout::kProgressMax);
}

void RepairWindow::layOut(UINT dpi) {
    const int inch = static_cast<int>(dpi);
    const auto px = [inch](int twips) { return layout::pixels(twips, inch); };
    const HFONT font = createUiFont(dpi);
    for (const layout::Control* design : layout::controlsInTabOrder()) {
        const HWND control = item(*design);
        const layout::Twips& place = design->place;
        SetWindowPos(control, nullptr, px(place.left), px(place.top), px(place.width), px(place.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
    RECT frame{0, 0, px(layout::kClientWidth), px(layout::kClientHeight)};
    // The frame is the system's, drawn at the DPI it gives the window.
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, GetDpiForWindow(window_));
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK RepairWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<RepairWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RepairWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's frames: what the flow did not trap is shown as the
    // core's error boxes show it.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& e) {
        repairM::showErrorBox(e.what());
        return 0;
    }
}

LRESULT RepairWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) command(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            flow_.cancel();
            return 0;
        case WM_ACTIVATE:
            // A window that is not a dialog keeps its focus only if it restores it itself.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (const HWND focus = GetFocus(); IsChild(window_, focus)) focus_ = focus;
            } else {
                const bool restore = focus_ != nullptr && IsWindow(focus_) && IsWindowEnabled(focus_);
                SetFocus(restore ? focus_ : GetNextDlgTabItem(window_, nullptr, FALSE));
            }
            return 0;
        case WM_DPICHANGED: {
            layOut(HIWORD(wParam));
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_NCDESTROY:
            if (font_ != nullptr) DeleteObject(font_);
            font_ = nullptr;
            focus_ = nullptr;
            if (loadedWindow == this) loadedWindow = nullptr;
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RepairWindow::command(int id) {
    if (id == IDCANCEL) {
        // キャンセル, Escape.
        flow_.cancel();
    } else if (id == controlId(layout::kChooseButton)) {
        flow_.chooseFile();
    } else if (id == controlId(layout::kStartButton)) {
        flow_.startRepair();
    } else if (id == IDOK) {
        // Enter, which names no default button: it presses the push button that has the focus, and
        // nothing else; 修復実行 is never pressed unless it has the focus.
        const HWND focus = GetFocus();
        if (IsChild(window_, focus) && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0)
            command(GetDlgCtrlID(focus));
    }
}

HWND RepairWindow::item(const layout::Control& design) const { return GetDlgItem(window_, controlId(design)); }

void RepairWindow::stepProgress() { flow_.stepProgress(); }

int RepairWindow::showMessageBox(const std::string& prompt, int style, const std::string& title) {
    return messageBox(prompt, style, title);
}

void RepairWindow::showPath(const std::string& path) { SetWindowTextW(item(layout::kPathLabel), wide(path).c_str()); }

void RepairWindow::setStartEnabled(bool enabled) { EnableWindow(item(layout::kStartButton), enabled); }

void RepairWindow::showBar(bool visible) { ShowWindow(item(layout::kProgressBar), visible ? SW_SHOWNA : SW_HIDE); }

void RepairWindow::setBarValue(int value) { SendMessageW(item(layout::kProgressBar), PBM_SETPOS, value, 0); }

void RepairWindow::drawNow() { paintAndRunTimers(); }

std::optional<int> RepairWindow::checkedOption() const {
    for (std::size_t i = 0; i < layout::kKindOptions.size(); ++i)
        if (SendMessageW(item(layout::kKindOptions[i].button), BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i);
    return std::nullopt;
}

void RepairWindow::checkOption(int index) {
    for (std::size_t i = 0; i < layout::kKindOptions.size(); ++i)
        SendMessageW(item(layout::kKindOptions[i].button), BM_SETCHECK,
                     static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RepairWindow::closeWindow() { DestroyWindow(window_); }

std::optional<std::string> RepairWindow::chooseFile(const FileChooserSettings& settings) {
    return chooseDataFile(desktop_, window_, settings);
}

int RepairWindow::messageBox(const std::string& prompt, int style, const std::string& title) {
    return desktop_.messageBox(window_, wide(prompt), wide(title), static_cast<UINT>(style));
}

void RepairWindow::beep() { desktop_.beep(MB_OK); }

void RepairWindow::openLog(const std::string& path) {
    const std::wstring log = wide(path);
    // Where no program is associated with text files, Notepad, which every Windows has, shows it.
    // Whether a viewer opened is not examined further: the log stays where the user can find it.
    if (desktop_.shellExecute(window_, L"open", log, L"", SW_SHOWNORMAL) == SE_ERR_NOASSOC)
        desktop_.shellExecute(window_, L"open", L"notepad.exe", L"\"" + log + L"\"", SW_SHOWNORMAL);
}

std::string RepairWindow::narrowLower(const std::string& text) const { return toNarrowLower(text); }

}  // namespace ui::win32
