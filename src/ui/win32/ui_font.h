#pragma once

#include <windows.h>

namespace ui::win32 {

// The window's font at `dpi`: the size of the system's message font, in a Japanese UI face
// ("Yu Gothic UI", else "Meiryo UI") where one is installed, else the message font itself.
// The caller deletes it.
HFONT createUiFont(UINT dpi);

}  // namespace ui::win32
