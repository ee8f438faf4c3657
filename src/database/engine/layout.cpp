#include "layout.h"

#include "engine_error.h"
#include "file_format.h"

namespace engine::detail {

void refreshLayout(Connection& conn) {
    if (!hasBookkeeping(conn, kLayoutTable)) conn.exec(bookkeepingDefinition(kLayoutTable));
    conn.exec(std::string("DELETE FROM ") + kLayoutTable);
    // Automatic indexes have no definition of their own: their table's definition makes them.
    Statement fill = conn.prepare(std::string("INSERT INTO ") + kLayoutTable +
                                  " SELECT ?, type, name, tbl_name, rootpage, sql FROM sqlite_schema"
                                  " WHERE type IN ('table', 'index') AND sql IS NOT NULL AND rootpage > 0"
                                  " AND name NOT IN (?, ?) ORDER BY rowid");
    fill.bind(1, std::string(kLayoutMark)).bind(2, std::string(kLayoutTable)).bind(3, std::string(kSalvageTable));
    fill.step();
}

std::vector<LayoutEntry> layoutFromSchema(Connection& conn) {
    std::vector<LayoutEntry> entries;
    try {
        Statement stmt = conn.prepare(
            "SELECT type, name, tbl_name, rootpage, sql FROM sqlite_schema"
            " WHERE type IN ('table', 'index') AND sql IS NOT NULL AND rootpage > 0 ORDER BY rowid");
        while (stmt.step())
            entries.push_back({stmt.columnText(0), stmt.columnText(1), stmt.columnText(2), stmt.columnInt(3),
                               stmt.columnText(4)});
    } catch (const EngineError&) {
        entries.clear();
    }
    return entries;
}

}  // namespace engine::detail
