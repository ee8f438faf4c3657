#pragma once

// Internal to the engine: the only header that includes SQLite's (the others declare what they name).

#include <sqlite3.h>

#include <memory>
#include <string>

#include "database/engine/store/field_value.h"

namespace engine::detail {

class Statement;

enum class OpenMode { ReadOnly, ReadWrite, Create };

// One SQLite connection. Its errors become EngineError with descriptions naming `path()`.
class Connection {
public:
    static std::shared_ptr<Connection> open(const std::string& path, OpenMode mode);
    // Opens the SQLite URI `uri` through the VFS named `vfs`; descriptions name `path`.
    static std::shared_ptr<Connection> open(const std::string& uri, OpenMode mode, const char* vfs,
                                            const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return db_; }
    const std::string& path() const { return path_; }
    bool inTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

    void exec(const std::string& sql);
    Statement prepare(const std::string& sql);
    // Runs a query that yields one integer (0 when it yields no row).
    std::int64_t queryInt(const std::string& sql);
    // SQLite's full check of the file: "ok", or the first problem it finds. A read the system
    // refused while it ran is thrown as that refusal (DiskIo), never given as a problem.
    std::string integrityCheck();

    [[noreturn]] void fail(int rc) const;

private:
    Connection(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    sqlite3* db_;
    std::string path_;
};

class Statement {
public:
    Statement(const Connection& conn, sqlite3_stmt* stmt) : conn_(&conn), stmt_(stmt) {}
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(Statement&& other) noexcept : conn_(other.conn_), stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    Statement& bind(int position, const FieldValue& value);
    // True while a row is available.
    bool step();
    void reset();
    FieldValue column(int column) const;
    std::int64_t columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string columnText(int column) const;

private:
    const Connection* conn_;
    sqlite3_stmt* stmt_;
};

// SQL identifier quoting: any name, including odd characters, becomes one identifier.
std::string quoteIdentifier(const std::string& name);

// "INSERT INTO <table> VALUES(?, ...)" with one parameter per column.
std::string insertRowSql(const std::string& table, std::size_t columnCount);

// Opens a transaction that nests inside an outer one and rolls back unless committed.
class Savepoint {
public:
    explicit Savepoint(Connection& conn);
    ~Savepoint();
    void commit();

private:
    Connection& conn_;
    bool done_ = false;
};

}  // namespace engine::detail
