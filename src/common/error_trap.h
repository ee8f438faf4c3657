#pragma once

#include <functional>
#include <string>

namespace repairM {

// The error trap of a procedure: runs `body`; on an exception writes `message` followed
// directly by the error's description to the log, shows that text in an "エラー" box unless
// CommandLineMode, and returns false.
bool runTrapped(const std::string& message, const std::function<bool()>& body);

}  // namespace repairM
