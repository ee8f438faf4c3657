#include "database/engine/store/new_file.h"

#include "database/engine/store/layout.h"

namespace engine::detail {

void initialiseFile(Connection& conn, FileKind kind) {
    Savepoint sp(conn);
    conn.exec("PRAGMA application_id=" + std::to_string(static_cast<std::int32_t>(kind)));
    conn.exec("PRAGMA user_version=" + std::to_string(kFormatVersion));
    if (kind == FileKind::Data) {
        conn.exec(bookkeepingDefinition(kMetaTable));
        conn.exec(bookkeepingDefinition(kIndexTable));
        refreshLayout(conn);
    } else {
        conn.exec(bookkeepingDefinition(kAccountTable));
    }
    sp.commit();
}

}  // namespace engine::detail
