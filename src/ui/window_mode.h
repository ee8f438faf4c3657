#pragma once

#include <functional>

#include "common/hooks.h"

namespace ui {

// Window mode's links from the core to the window, for as long as an instance lives: the core's
// message boxes and StepProgress go to the view's hooks, and a long engine step calls
// `keepAlive`, which paints and answers the desktop but takes no input (a repair runs inside the
// click). On the way out the core is left reaching for no window.
class WindowMode {
public:
    WindowMode(repairM::MessageBoxHook messageBox, repairM::ProgressHook progress, std::function<void()> keepAlive);
    ~WindowMode();
    WindowMode(const WindowMode&) = delete;
    WindowMode& operator=(const WindowMode&) = delete;
};

}  // namespace ui
