#include "show_window.h"

#include "core_services.h"
#include "desktop.h"
#include "message_pump.h"
#include "repair_window.h"
#include "window_hooks.h"
#include "window_mode.h"

namespace ui {

void ShowRepairWindow(int&, char**) {
    // While a long step runs, the window is never reported as not responding.
    const WindowMode windowMode(win32::ShowMessageBox, win32::StepProgress, win32::paintAndRunTimers);
    win32::RepairWindow window(win32::systemDesktop(), coreServices());
    // As whoever started the program asked (a shortcut may ask for it minimized).
    ShowWindow(window.handle(), SW_SHOWDEFAULT);
    win32::runModal(window.handle());
}

}  // namespace ui
