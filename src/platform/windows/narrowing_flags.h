#pragma once

// Internal to the Windows side, and for its test: how text is narrowed into an ANSI code page.

#include <windows.h>

namespace platform::windows {

// The flags of WideCharToMultiByte for writing into the ANSI code page `codePage`: no best fit
// (which would write a lookalike, another character than the one meant) where the code page takes
// that flag. UTF-8 and GB18030 hold every character, and Windows refuses any flag for them but
// WC_ERR_INVALID_CHARS (ERROR_INVALID_FLAGS), which Wine does not.
DWORD narrowingFlags(UINT codePage);

}  // namespace platform::windows
