#pragma once

#include <string>

namespace repairM {

struct CommandLineValues {
    std::string dataSource;
    std::string password;
};

// Reads "Data Source=...;Database Password=..." pieces: split at ";", each piece at "=";
// only a piece with exactly one "=" and a key spelt exactly so counts; the last one wins.
// Without any ";" nothing is taken.
CommandLineValues parseCommandLine(const std::string& commandLine);

}  // namespace repairM
