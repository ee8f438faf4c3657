#include "ui/win32/win32_window_hooks.h"

#include "ui/win32/repair_window.h"

namespace ui::win32 {

void StepProgress() {
    if (RepairWindow* window = RepairWindow::loaded()) window->stepProgress();
}

int showMessageBox(const std::string& prompt, int style, const std::string& title) {
    RepairWindow* window = RepairWindow::loaded();
    return window != nullptr ? window->showMessageBox(prompt, style, title) : 0;
}

}  // namespace ui::win32
