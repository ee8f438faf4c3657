#pragma once

#include <string>

#include "database/lost_rows.h"

// What one repair came to: the file repaired and put in place or not, and what a damaged file's
// salvage could not bring back.
struct RepairOutcome {
    bool repaired = false;
    LostRows lost;
};

// One repair: check the path, compact, rebuild by kind, replace. The reason of every failure is
// in the log.
RepairOutcome repairDataFile(const std::string& path, const std::string& kind);

// The same as a truth value: true when the file was repaired and replaced.
bool RepairDataFile(const std::string& path, const std::string& kind);
