#pragma once

#include <stdexcept>
#include <string>

namespace repairM {

// The one error that the tool's own steps throw, outside the engine (which throws its
// EngineError): a complete Japanese sentence for the log, made by a function of descriptions.h.
// The error traps catch it with the engine's.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& description) : std::runtime_error(description) {}
};

}  // namespace repairM
