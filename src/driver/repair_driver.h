#pragma once

#include <string>

// One repair: check the path, compact, rebuild by kind, replace. True when the file was
// repaired and replaced; the reason of every failure is in the log.
bool RepairDataFile(const std::string& path, const std::string& kind);
