#pragma once

#include <windows.h>

namespace ui::win32 {

// Paints every window of the thread that needs it and runs its due timers (the bar's animation),
// and answers what other programs send: a repair runs inside the click, and meanwhile the window
// must neither look frozen nor be reported as not responding. Input stays queued.
void paintAndRunTimers();

// Runs the thread's messages for `window`, with its keyboard navigation (Tab, the arrow keys in
// the option group, Enter, Escape), until the window is gone.
void runModal(HWND window);

}  // namespace ui::win32
