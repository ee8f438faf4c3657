#pragma once

#include <string>

class repairF;

namespace ui {

// The loaded repairF, if any.
repairF* loadedRepairF();

// The core's StepProgress in window mode: advances the bar of the loaded repairF;
// does nothing when none is loaded.
void StepProgress();

// The core's message boxes (error traps) in window mode, over the loaded repairF.
int showMessageBox(const std::string& prompt, int style, const std::string& title);

}  // namespace ui
