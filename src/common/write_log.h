#pragma once

#include <string>

namespace repairM {

// Appends one time-stamped line to the log at LogPath. No error trap of its own:
// a failure to write the log throws to the caller's trap.
void WriteLog(const std::string& message);

// For what is said once the outcome is settled (the file replaced): a log that cannot be written
// then costs the line, not the outcome.
void writeLogIfPossible(const std::string& message);

}  // namespace repairM
