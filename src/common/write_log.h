#pragma once

#include <string>

namespace repairM {

// Appends one time-stamped line to the log at LogPath. No error trap of its own:
// a failure to write the log throws to the caller's trap.
void WriteLog(const std::string& message);

}  // namespace repairM
