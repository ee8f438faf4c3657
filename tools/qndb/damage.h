#pragma once

#include <vector>

#include "qndb/arguments.h"
#include "database/engine/database.h"

namespace qndb {

// Applies `actions` in order. Every table, index and key field they name is checked first,
// against the file as the earlier actions will leave it, so that a wrong name changes nothing.
void applyDamage(engine::Database& db, const std::vector<DamageAction>& actions);

}  // namespace qndb
