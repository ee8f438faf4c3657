#pragma once

// Internal to the engine: how many rows a salvage could not bring back, and which, told from what
// the damaged file itself still shows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/salvage/definition_reader.h"
#include "database/engine/store/layout.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

struct TableLoss {
    std::string table;
    std::optional<std::int64_t> rows;  // nullopt: some may be lost, how many cannot be told
    // The lost rows that a surviving index names, by their keys, sorted (see lost_row_keys.h).
    std::vector<std::string> keys;
};

// Compares, table by table, the rows in `destination` with the rows the damaged file shows it had:
// the rowids that its trees list, its own and each of its indexes' (each index lists every row),
// each read page by page through `view` (see page_view.h) from the root pages in `layout`. Where
// every tree could be read whole, a rowid counts only when two of them list it: one that a single
// tree lists comes from a changed byte in it. A table none of whose trees can be read whole (an
// empty one still has a sound root page), or that the layout does not show, may have lost rows
// that nothing can count. Tables that lost nothing are left out; the others are sorted by name.
std::vector<TableLoss> lostRows(Connection* view, Connection& destination, const std::vector<LayoutEntry>& layout,
                                DefinitionReader& definitions);

}  // namespace engine::detail
