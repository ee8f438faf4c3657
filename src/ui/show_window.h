#pragma once

namespace ui {

// Window mode: creates the application, shows repairF modally with the core's hooks
// installed, and returns when the window has closed.
void showRepairWindow(int& argc, char** argv);

}  // namespace ui
