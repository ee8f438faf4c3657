#include "database/engine/store/layout.h"

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"

namespace engine::detail {

namespace {

// Copies into the layout what the schema says of the objects that `which` picks out.
void copySchema(Connection& conn, const std::string& which, const std::string& name = "") {
    // Automatic indexes have no definition of their own: their table's definition makes them.
    Statement fill = conn.prepare(std::string("INSERT INTO ") + kLayoutTable +
                                  " SELECT ?, type, name, tbl_name, rootpage, sql FROM sqlite_schema"
                                  " WHERE type IN ('table', 'index') AND sql IS NOT NULL AND rootpage > 0"
                                  " AND name NOT IN (?, ?) AND " + which + " ORDER BY rowid");
    fill.bind(1, std::string(kLayoutMark)).bind(2, std::string(kLayoutTable)).bind(3, std::string(kSalvageTable));
    if (!name.empty()) fill.bind(4, name);
    fill.step();
}

}  // namespace

void refreshLayout(Connection& conn) {
    if (!hasBookkeeping(conn, kLayoutTable)) conn.exec(bookkeepingDefinition(kLayoutTable));
    conn.exec(std::string("DELETE FROM ") + kLayoutTable);
    copySchema(conn, "1");
}

void layoutAdd(Connection& conn, const std::string& name) {
    // A file made before the layout existed gets it whole.
    if (!hasBookkeeping(conn, kLayoutTable)) return refreshLayout(conn);
    layoutRemove(conn, name);
    copySchema(conn, "name = ?4", name);
}

void layoutRemove(Connection& conn, const std::string& name) {
    if (!hasBookkeeping(conn, kLayoutTable)) return refreshLayout(conn);
    Statement remove = conn.prepare(std::string("DELETE FROM ") + kLayoutTable + " WHERE name = ?");
    remove.bind(1, name);
    remove.step();
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
    } catch (const EngineError& e) {
        // A schema too damaged to read gives no layout; a read the system refused is no damage.
        if (!showsDamage(e)) throw;
        entries.clear();
    }
    return entries;
}

}  // namespace engine::detail
