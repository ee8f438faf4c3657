#include "platform/system_error.h"

#include <windows.h>

#include <cstring>

#include "platform/windows/wide_text.h"

namespace platform {

std::string systemErrorText(int code) {
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&message), 0,
                                        nullptr);
    if (length == 0) return "Windows error " + std::to_string(code);
    std::wstring text(message, length);
    LocalFree(message);
    // The text follows a file's name in parentheses: without the line end and the full stop.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\u3002'))
        text.pop_back();
    return windows::utf8(text);
}

std::string errorText(const std::error_code& error) {
    // std::filesystem reports some failures in the system's codes and some in the C library's.
    if (error.category() == std::system_category()) return systemErrorText(error.value());
    return std::strerror(error.value());
}

int lastSystemError() { return static_cast<int>(GetLastError()); }

bool SystemError::diskFull() const { return code_ == ERROR_DISK_FULL || code_ == ERROR_HANDLE_DISK_FULL; }

// What Windows answers while another program holds the file open without sharing what is asked.
bool SystemError::heldByAnother() const {
    return code_ == ERROR_SHARING_VIOLATION || code_ == ERROR_ACCESS_DENIED || code_ == ERROR_LOCK_VIOLATION;
}

}  // namespace platform
