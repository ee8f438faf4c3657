#pragma once

#include <functional>
#include <string>

namespace repairM {

// The program's start procedure. `commandLine` is the program's arguments joined by single
// spaces; empty selects window mode, which runs `showWindow` until the window closes.
// Returns the exit status: 1 when a command-line repair failed, 2 when it repaired the file but
// could not bring back every row, 0 otherwise.
int Main(const std::string& commandLine, const std::function<void()>& showWindow);

}  // namespace repairM
