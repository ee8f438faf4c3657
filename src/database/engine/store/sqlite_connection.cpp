#include "database/engine/store/sqlite_connection.h"

#include <filesystem>
#include <optional>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/sqlite_vfs.h"
#include "database/engine/store/keep_alive.h"
#include "platform/paths.h"
#include "platform/system_error.h"

namespace engine::detail {

namespace {

// Marker text of the triggers that enforce Required; see index.cpp.
constexpr const char* kRequiredMarker = "_qn_required";

// Long enough to ride out a brief write by the host, short enough not to look hung.
constexpr int kBusyTimeoutMs = 1000;

// The file that the system refused, as the user knows it.
std::string nameOf(const IoFailure& failure) {
    return failure.file.empty() ? describe::sqliteTemporaryFile() : failure.file;
}

std::string reasonOf(const IoFailure& failure, const std::string& message) {
    return failure.error != 0 ? platform::systemErrorText(failure.error) : message;
}

// What the system refused, said of the file it refused it for.
EngineError ioError(const IoFailure& failure, const std::string& message) {
    const std::string file = nameOf(failure);
    const std::string reason = reasonOf(failure, message);
    switch (failure.operation) {
    case IoFailure::Operation::Read: return {ErrorCode::DiskIo, describe::readFailed(file, failure.offset, reason)};
    case IoFailure::Operation::Write: return {ErrorCode::DiskIo, describe::writeFailed(file, failure.offset, reason)};
    case IoFailure::Operation::Flush: return {ErrorCode::DiskIo, describe::flushFailed(file, reason)};
    default: return {ErrorCode::DiskIo, describe::diskIo(file, reason)};
    }
}

EngineError errorFor(sqlite3* db, int rc, const std::string& path) {
    const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const std::optional<IoFailure> failure = lastIoFailure();
    forgetIoFailure();
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {ErrorCode::FileLocked, describe::fileLocked(path)};
    case SQLITE_NOTADB:
        return {ErrorCode::NotOurFormat, describe::notOurFormat(path)};
    case SQLITE_CORRUPT:
        return {ErrorCode::Damaged, describe::damaged(path, message)};
    case SQLITE_FULL:
        // Without a write the system refused, it is SQLite's own limit that was reached.
        if (!failure) return {ErrorCode::LimitReached, describe::limitReached(path, message)};
        return {ErrorCode::DiskFull,
                describe::diskFull(nameOf(*failure), failure->error != 0 ? platform::systemErrorText(failure->error) : "")};
    case SQLITE_IOERR:
        if (failure) return ioError(*failure, message);
        return {ErrorCode::DiskIo, describe::diskIo(path, message)};
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return {ErrorCode::ReadOnly, describe::readOnly(path)};
    case SQLITE_CANTOPEN: {
        std::error_code ec;
        if (!std::filesystem::exists(platform::toPath(path), ec)) return {ErrorCode::FileNotFound, describe::fileNotFound(path)};
        if (failure) return ioError(*failure, message);
        return {ErrorCode::DiskIo, describe::diskIo(path, message)};
    }
    case SQLITE_CONSTRAINT:
        if (message.find(kRequiredMarker) != std::string::npos)
            return {ErrorCode::NullInRequired, describe::nullInRequiredWrite(path)};
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            return {ErrorCode::DuplicateValues, describe::duplicateWrite(message)};
        return {ErrorCode::Unexpected, describe::unexpected(message)};
    default:
        return {ErrorCode::Unexpected, describe::unexpected(message)};
    }
}

}  // namespace

std::shared_ptr<Connection> Connection::open(const std::string& path, OpenMode mode) {
    return open(path, mode, nullptr, path);
}

std::shared_ptr<Connection> Connection::open(const std::string& uri, OpenMode mode, const char* vfs,
                                             const std::string& path) {
    int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE | (vfs != nullptr ? SQLITE_OPEN_URI : 0);
    switch (mode) {
    case OpenMode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case OpenMode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case OpenMode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    }
    sqlite3* db = nullptr;
    forgetIoFailure();
    const int rc = sqlite3_open_v2(uri.c_str(), &db, flags, vfs != nullptr ? vfs : ioLayer()->zName);
    if (rc != SQLITE_OK) {
        const EngineError error = errorFor(db, rc, path);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    watchForKeepAlive(db);
    // Files come from outside: never let their schema run anything but plain SQL.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    return std::shared_ptr<Connection>(new Connection(db, path));
}

Connection::~Connection() { sqlite3_close_v2(db_); }

void Connection::fail(int rc) const { throw errorFor(db_, rc, path_); }

void Connection::exec(const std::string& sql) {
    forgetIoFailure();
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc);
}

Statement Connection::prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    forgetIoFailure();
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) fail(rc);
    return Statement(*this, stmt);
}

std::int64_t Connection::queryInt(const std::string& sql) {
    Statement stmt = prepare(sql);
    return stmt.step() ? stmt.columnInt(0) : 0;
}

std::string Connection::integrityCheck() {
    Statement stmt = prepare("PRAGMA integrity_check(1)");
    const std::string verdict = stmt.step() ? stmt.columnText(0) : "";
    // A check reports a page it could not fetch as a row of its verdict ("unable to get the
    // page. error code=266"), not as an error: what the system refused meanwhile says nothing of
    // the file, and is the failure to report.
    if (verdict != "ok") {
        if (const std::optional<IoFailure> failure = lastIoFailure()) {
            forgetIoFailure();
            throw ioError(*failure, verdict);
        }
    }
    return verdict;
}

Statement& Statement::bind(int position, const FieldValue& value) {
    int rc = SQLITE_OK;
    if (isNull(value)) {
        rc = sqlite3_bind_null(stmt_, position);
    } else if (const auto* i = std::get_if<std::int64_t>(&value)) {
        rc = sqlite3_bind_int64(stmt_, position, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        rc = sqlite3_bind_double(stmt_, position, *d);
    } else {
        const auto& s = std::get<std::string>(value);
        rc = sqlite3_bind_text(stmt_, position, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) conn_->fail(rc);
    return *this;
}

bool Statement::step() {
    forgetIoFailure();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    conn_->fail(rc);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

FieldValue Statement::column(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL: return std::monostate{};
    case SQLITE_INTEGER: return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, column));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt_, column);
    default: return columnText(column);
    }
}

std::string Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string quoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string insertRowSql(const std::string& table, std::size_t columnCount) {
    std::string sql = "INSERT INTO " + quoteIdentifier(table) + " VALUES(";
    for (std::size_t i = 0; i < columnCount; ++i) sql += i == 0 ? "?" : ", ?";
    return sql + ")";
}

Savepoint::Savepoint(Connection& conn) : conn_(conn) { conn_.exec("SAVEPOINT qn_step"); }

Savepoint::~Savepoint() {
    if (done_) return;
    sqlite3_exec(conn_.handle(), "ROLLBACK TO qn_step; RELEASE qn_step", nullptr, nullptr, nullptr);
}

void Savepoint::commit() {
    conn_.exec("RELEASE qn_step");
    done_ = true;
}

}  // namespace engine::detail
