#include "log_encoding.h"

#include <windows.h>

#include "wide_text.h"

namespace platform {

std::string toLogEncoding(const std::string& text) {
    const std::wstring wide = windows::wide(text);
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    // No best fit (which would write another character than the one meant): what the ANSI code
    // page lacks becomes its default character.
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace platform
