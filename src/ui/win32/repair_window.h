#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/core_services.h"
#include "ui/win32/desktop.h"
#include "ui/repair_flow.h"
#include "ui/window_layout.h"
#include "ui/window_view.h"

namespace ui::win32 {

// The identifier of a control of the window, for GetDlgItem and WM_COMMAND. キャンセル is
// IDCANCEL, the command that Escape gives too.
int controlId(const layout::Control& design);

// The tool's only window in Win32, of the window class "repairF": the controls of
// window_layout.h, placed in pixels at the window's DPI and written in a Japanese UI font, over
// the shared flow. Created hidden; it lives until closed or until the object goes.
class RepairWindow : private WindowView {
public:
    RepairWindow(Desktop desktop, CoreServices core);
    ~RepairWindow() override;
    RepairWindow(const RepairWindow&) = delete;
    RepairWindow& operator=(const RepairWindow&) = delete;

    // Null once the window is closed.
    HWND handle() const { return window_; }
    // The open window, if any.
    static RepairWindow* loaded();

    // One finished step of the running repair: the bar advances and is drawn at once.
    void stepProgress();
    // A box of the core's (hooks.h) over the window.
    int showMessageBox(const std::string& prompt, int style, const std::string& title);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    // Font, places and size for `dpi` pixels to the inch.
    void layOut(UINT dpi);
    void command(int id);
    HWND item(const layout::Control& design) const;

    void showPath(const std::string& path) override;
    void setStartEnabled(bool enabled) override;
    void showBar(bool visible) override;
    void setBarValue(int value) override;
    void drawNow() override;
    std::optional<int> checkedOption() const override;
    void checkOption(int index) override;
    void closeWindow() override;
    std::optional<std::string> chooseFile(const FileChooserSettings& settings) override;
    int messageBox(const std::string& prompt, int style, const std::string& title) override;
    void beep() override;
    void openLog(const std::string& path) override;
    std::string narrowLower(const std::string& text) const override;

    Desktop desktop_;
    RepairFlow flow_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    // The control that had the focus when the window was last deactivated.
    HWND focus_ = nullptr;
};

}  // namespace ui::win32
