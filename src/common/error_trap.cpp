#include "error_trap.h"

#include <exception>

#include "hooks.h"
#include "write_log.h"

namespace repairM {

bool RunTrapped(const std::string& message, const std::function<bool()>& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        const std::string text = message + e.what();
        WriteLog(text);
        ShowErrorBox(text);
        return false;
    }
}

}  // namespace repairM
