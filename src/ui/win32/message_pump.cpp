#include "ui/win32/message_pump.h"

namespace ui::win32 {

namespace {

// False when it met WM_QUIT, which PeekMessage hands out whatever the filter: it is put back for
// the loop that ends on it.
bool dispatchAll(UINT message) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, message, message, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

void paintAndRunTimers() {
    if (dispatchAll(WM_PAINT)) dispatchAll(WM_TIMER);
}

void runModal(HWND window) {
    MSG msg;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the thread to end: leave that to the outer loop, if any.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace ui::win32
