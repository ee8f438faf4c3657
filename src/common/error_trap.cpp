#include "common/error_trap.h"

#include <exception>

#include "common/hooks.h"
#include "common/write_log.h"

namespace repairM {

bool runTrapped(const std::string& message, const std::function<bool()>& body) {
    try {
        return body();
    } catch (const std::exception& e) {
        const std::string text = message + e.what();
        WriteLog(text);
        showErrorBox(text);
        return false;
    }
}

}  // namespace repairM
