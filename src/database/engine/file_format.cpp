#include "file_format.h"

#include "engine_error.h"

namespace engine::detail {

bool isReservedName(const std::string& name) {
    return name.rfind(kReservedPrefix, 0) == 0 || name.rfind("sqlite_", 0) == 0;
}

void initialiseFile(Connection& conn, FileKind kind) {
    Savepoint sp(conn);
    conn.exec("PRAGMA application_id=" + std::to_string(static_cast<std::int32_t>(kind)));
    conn.exec("PRAGMA user_version=" + std::to_string(kFormatVersion));
    if (kind == FileKind::Data) {
        conn.exec(std::string("CREATE TABLE ") + kMetaTable + "(key TEXT PRIMARY KEY, value TEXT NOT NULL)");
        conn.exec(std::string("CREATE TABLE ") + kIndexTable +
                  "(table_name TEXT NOT NULL, index_name TEXT NOT NULL, sqlite_name TEXT NOT NULL UNIQUE,"
                  " position INTEGER NOT NULL, is_primary INTEGER NOT NULL, required INTEGER NOT NULL,"
                  " ignore_nulls INTEGER NOT NULL, PRIMARY KEY(table_name, index_name))");
    } else {
        conn.exec(std::string("CREATE TABLE ") + kAccountTable +
                  "(name TEXT PRIMARY KEY, verifier TEXT NOT NULL)");
    }
    sp.commit();
}

void checkFile(Connection& conn, FileKind kind) {
    std::int64_t id = 0;
    std::int64_t version = 0;
    try {
        id = conn.queryInt("PRAGMA application_id");
        version = conn.queryInt("PRAGMA user_version");
    } catch (const EngineError& e) {
        // A file SQLite cannot read at all is foreign to us in any case; keep locks as they are.
        if (e.code() != ErrorCode::NotOurFormat && e.code() != ErrorCode::Damaged) throw;
        id = 0;
    }
    if (id == static_cast<std::int32_t>(kind) && version >= 1 && version <= kFormatVersion) return;
    if (kind == FileKind::Workgroup)
        throw EngineError(ErrorCode::WorkgroupUnavailable, describe::workgroupForeign(conn.path()));
    throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(conn.path()));
}

void storeVerifier(Connection& conn, const std::string& verifier) {
    if (verifier.empty()) return;
    Statement stmt = conn.prepare(std::string("INSERT INTO ") + kMetaTable + " VALUES('password', ?)");
    stmt.bind(1, verifier);
    stmt.step();
}

std::string storedVerifier(Connection& conn) {
    Statement stmt = conn.prepare(std::string("SELECT value FROM ") + kMetaTable + " WHERE key='password'");
    return stmt.step() ? stmt.columnText(0) : std::string();
}

}  // namespace engine::detail
