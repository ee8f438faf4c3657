#pragma once

// Internal to the engine: writing a compacted copy of a data file.

#include <string>

#include "database/engine/store/remade_indexes.h"

namespace engine::detail {

void compact(const std::string& source, const std::string& destination, const std::string& password,
             const RemadeIndexes& remade);

}  // namespace engine::detail
