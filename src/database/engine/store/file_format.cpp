#include "database/engine/store/file_format.h"

#include <algorithm>
#include <array>
#include <fstream>

#include "database/engine/store/engine_error.h"
#include "platform/paths.h"

namespace engine::detail {

bool isReservedName(const std::string& name) {
    return name.rfind(kReservedPrefix, 0) == 0 || name.rfind("sqlite_", 0) == 0;
}

std::string bookkeepingDefinition(const std::string& name) {
    std::string columns;
    if (name == kMetaTable)
        columns = "(key TEXT PRIMARY KEY, value TEXT NOT NULL)";
    else if (name == kIndexTable)
        columns =
            "(table_name TEXT NOT NULL, index_name TEXT NOT NULL, sqlite_name TEXT NOT NULL UNIQUE,"
            " position INTEGER NOT NULL, is_primary INTEGER NOT NULL, required INTEGER NOT NULL,"
            " ignore_nulls INTEGER NOT NULL, PRIMARY KEY(table_name, index_name))";
    else if (name == kAccountTable)
        columns = "(name TEXT PRIMARY KEY, verifier TEXT NOT NULL)";
    else if (name == kSalvageTable)
        columns = "(table_name TEXT, problem TEXT NOT NULL, kind TEXT NOT NULL, lost_rows INTEGER)";
    else if (name == kLayoutTable)
        columns =
            "(mark TEXT NOT NULL, type TEXT NOT NULL, name TEXT NOT NULL, tbl_name TEXT NOT NULL,"
            " rootpage INTEGER NOT NULL, sql TEXT NOT NULL)";
    return "CREATE TABLE " + name + columns;
}

bool hasBookkeeping(Connection& conn, const std::string& name) {
    // SQLite matches table names without regard to case, so a garbled one still stands for ours.
    Statement stmt = conn.prepare("SELECT sql FROM sqlite_schema WHERE type='table' AND name=? COLLATE NOCASE");
    stmt.bind(1, name);
    const std::string definition = bookkeepingDefinition(name);
    bool present = false;
    while (stmt.step()) {
        if (stmt.columnText(0) != definition)
            throw EngineError(ErrorCode::Damaged,
                              describe::damaged(conn.path(), describe::bookkeepingDefinitionDamaged(name)));
        present = true;
    }
    return present;
}

void requireBookkeeping(Connection& conn, const std::string& name) {
    if (!hasBookkeeping(conn, name))
        throw EngineError(ErrorCode::Damaged, describe::damaged(conn.path(), describe::bookkeepingMissing(name)));
}

HeaderVerdict readHeader(const std::string& path, FileKind kind) {
    std::array<unsigned char, 100> header{};
    std::ifstream file(platform::toPath(path), std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) return HeaderVerdict::Unreadable;
    static constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
    if (!std::equal(header.begin(), header.begin() + sizeof kMagic, kMagic)) return HeaderVerdict::Unreadable;
    const auto bigEndian = [&](std::size_t at) {
        return static_cast<std::uint32_t>(header[at]) << 24 | static_cast<std::uint32_t>(header[at + 1]) << 16 |
               static_cast<std::uint32_t>(header[at + 2]) << 8 | header[at + 3];
    };
    const auto version = static_cast<std::int32_t>(bigEndian(60));
    const bool ours = static_cast<std::int32_t>(bigEndian(68)) == static_cast<std::int32_t>(kind) && version >= 1 &&
                      version <= kFormatVersion;
    return ours ? HeaderVerdict::Ours : HeaderVerdict::Foreign;
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
    const bool ours = id == static_cast<std::int32_t>(kind) && version >= 1 && version <= kFormatVersion;
    if (kind == FileKind::Data) {
        if (!ours) throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(conn.path()));
        // The password lives here: a file whose settings cannot be read cannot be opened safely.
        requireBookkeeping(conn, kMetaTable);
        return;
    }
    if (ours) {
        try {
            requireBookkeeping(conn, kAccountTable);
            return;
        } catch (const EngineError& e) {
            if (e.code() != ErrorCode::Damaged) throw;
        }
    }
    throw EngineError(ErrorCode::WorkgroupUnavailable, describe::workgroupForeign(conn.path()));
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
