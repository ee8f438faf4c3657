#include "ui/show_window.h"

#include "ui/core_services.h"
#include "ui/win32/desktop.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/repair_window.h"
#include "ui/win32/win32_window_hooks.h"
#include "ui/window_mode.h"

namespace ui {

void showRepairWindow(int&, char**) {
    // While a long step runs, the window is never reported as not responding.
    const WindowMode windowMode(win32::showMessageBox, win32::StepProgress, win32::paintAndRunTimers);
    win32::RepairWindow window(win32::systemDesktop(), coreServices());
    // As whoever started the program asked (a shortcut may ask for it minimized).
    ShowWindow(window.handle(), SW_SHOWDEFAULT);
    win32::runModal(window.handle());
}

}  // namespace ui
