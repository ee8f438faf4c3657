#include "platform/windows/narrowing_flags.h"

namespace platform::windows {

DWORD narrowingFlags(UINT codePage) {
    constexpr UINT kGb18030 = 54936;
    // Not WC_ERR_INVALID_CHARS either: it fails the whole text for one lone surrogate.
    if (codePage == CP_UTF8 || codePage == kGb18030) return 0;
    return WC_NO_BEST_FIT_CHARS;
}

}  // namespace platform::windows
