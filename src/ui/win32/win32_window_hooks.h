#pragma once

#include <string>

namespace ui::win32 {

// The core's StepProgress in window mode: advances the bar of the open window; does nothing
// when none is open.
void StepProgress();

// The core's message boxes (error traps) in window mode, over the open window; 0, showing
// nothing, when none is open.
int showMessageBox(const std::string& prompt, int style, const std::string& title);

}  // namespace ui::win32
