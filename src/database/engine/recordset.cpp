#include "recordset.h"

#include "engine_error.h"
#include "sqlite_connection.h"

namespace engine {

Recordset::Recordset(std::shared_ptr<detail::Connection> conn, std::string table, int options)
    : conn_(std::move(conn)), table_(std::move(table)) {
    detail::requireObject(conn_.get());
    if (!conn_->inTransaction()) {
        const bool readOnly = sqlite3_db_readonly(conn_->handle(), "main") == 1;
        conn_->exec(readOnly ? "BEGIN" : (options == dbDenyRead ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE"));
        ownsTransaction_ = true;
    }
    try {
        const std::string quoted = detail::quoteIdentifier(table_);
        cursor_ = std::make_unique<detail::Statement>(conn_->prepare("SELECT rowid, * FROM " + quoted));
        columnCount_ = cursor_->columnCount() - 1;
        for (int i = 1; i <= columnCount_; ++i) columns_.emplace(cursor_->columnName(i), i);
        fetch();
    } catch (...) {
        finish(false);
        throw;
    }
}

Recordset::~Recordset() {
    if (!conn_) return;
    try {
        finish(true);
    } catch (...) {
        // A destructor cannot report; finish() has already rolled back what it could not commit.
    }
}

void Recordset::checkOpen() const {
    if (!conn_) throw EngineError(ErrorCode::ObjectClosed, describe::objectClosed());
}

void Recordset::fetch() {
    eof_ = !cursor_->step();
    currentDeleted_ = false;
    if (!eof_) currentRowid_ = cursor_->columnInt(0);
}

bool Recordset::Eof() const {
    checkOpen();
    return eof_;
}

RecordField Recordset::Fields(const std::string& name) const {
    checkOpen();
    const auto column = columns_.find(name);
    if (column == columns_.end()) throw EngineError(ErrorCode::ItemNotFound, describe::itemNotFound(name));
    if (eof_ || currentDeleted_) throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
    return {name, cursor_->column(column->second)};
}

void Recordset::MoveNext() {
    checkOpen();
    if (eof_) throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
    fetch();
}

void Recordset::Delete() {
    checkOpen();
    if (eof_ || currentDeleted_) throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
    if (!deleter_)
        deleter_ = std::make_unique<detail::Statement>(
            conn_->prepare("DELETE FROM " + detail::quoteIdentifier(table_) + " WHERE rowid=?"));
    deleter_->reset();
    deleter_->bind(1, currentRowid_);
    deleter_->step();
    // SQLite keeps the walking cursor's place across the deletion: its next step is the following row.
    currentDeleted_ = true;
}

void Recordset::AddRow(const std::vector<FieldValue>& values) {
    checkOpen();
    if (static_cast<int>(values.size()) != columnCount_)
        throw EngineError(ErrorCode::InvalidArgument,
                          describe::wrongValueCount(table_, static_cast<std::size_t>(columnCount_), values.size()));
    if (!inserter_) {
        std::string sql = "INSERT INTO " + detail::quoteIdentifier(table_) + " VALUES(";
        for (int i = 0; i < columnCount_; ++i) sql += i == 0 ? "?" : ", ?";
        inserter_ = std::make_unique<detail::Statement>(conn_->prepare(sql + ")"));
    }
    inserter_->reset();
    for (int i = 0; i < columnCount_; ++i) inserter_->bind(i + 1, values[static_cast<std::size_t>(i)]);
    inserter_->step();
}

void Recordset::Close() {
    checkOpen();
    finish(true);
}

void Recordset::finish(bool commit) {
    cursor_.reset();
    deleter_.reset();
    inserter_.reset();
    std::shared_ptr<detail::Connection> conn = std::move(conn_);
    if (!ownsTransaction_ || !conn->inTransaction()) return;
    if (commit) {
        try {
            conn->exec("COMMIT");
            return;
        } catch (...) {
            sqlite3_exec(conn->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    sqlite3_exec(conn->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace engine
