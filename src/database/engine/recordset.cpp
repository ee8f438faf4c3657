#include "database/engine/recordset.h"

#include <algorithm>
#include <limits>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/index_store.h"
#include "database/engine/store/sqlite_connection.h"

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
        columns_ = detail::tableColumns(*conn_, table_);
        cursor_ = cursorFrom(read_, std::numeric_limits<std::int64_t>::min());
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

// Walks the table in rowid order from `rowid`, reading `columns`. Never through an index, whose
// order could differ: a cursor opened again must go on from the row where the last one stood.
std::unique_ptr<detail::Statement> Recordset::cursorFrom(const std::vector<std::string>& columns,
                                                         std::int64_t rowid) const {
    std::string sql = "SELECT rowid";
    for (const std::string& name : columns) sql += ", " + detail::quoteIdentifier(name);
    auto cursor = std::make_unique<detail::Statement>(conn_->prepare(
        sql + " FROM " + detail::quoteIdentifier(table_) + " NOT INDEXED WHERE rowid >= ? ORDER BY rowid"));
    cursor->bind(1, rowid);
    return cursor;
}

// The smallest index that holds `column` (every row is in every index but a partial one), read
// whole into listed_; false, with nothing changed, when there is none or it does not list the
// current row first.
bool Recordset::listFromIndex(const std::string& column) const {
    detail::Statement choice = conn_->prepare(
        "SELECT l.name FROM pragma_index_list(?1) l WHERE l.partial = 0"
        " AND EXISTS(SELECT 1 FROM pragma_index_info(l.name) i WHERE i.name = ?2)"
        " ORDER BY (SELECT count(*) FROM pragma_index_info(l.name)) LIMIT 1");
    choice.bind(1, table_).bind(2, column);
    if (!choice.step()) return false;
    detail::Statement rows = conn_->prepare("SELECT rowid, " + detail::quoteIdentifier(column) + " FROM " +
                                            detail::quoteIdentifier(table_) + " INDEXED BY " +
                                            detail::quoteIdentifier(choice.columnText(0)));
    std::vector<std::pair<std::int64_t, FieldValue>> listed;
    while (rows.step()) listed.emplace_back(rows.columnInt(0), rows.column(1));
    const auto byRowid = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Rows are mostly made in the order of their key, which the index keeps: often sorted already.
    if (!std::is_sorted(listed.begin(), listed.end(), byRowid)) std::sort(listed.begin(), listed.end(), byRowid);
    if (listed.empty() || listed.front().first != currentRowid_) return false;
    listed_ = std::move(listed);
    listing_ = true;
    cursor_.reset();
    return true;
}

void Recordset::fetch() {
    currentDeleted_ = false;
    if (listing_) {
        eof_ = ++next_ >= listed_.size();
        if (!eof_) currentRowid_ = listed_[next_].first;
        return;
    }
    eof_ = !cursor_->step();
    if (!eof_) currentRowid_ = cursor_->columnInt(0);
}

bool Recordset::Eof() const {
    checkOpen();
    return eof_;
}

RecordField Recordset::Fields(const std::string& name) const {
    checkOpen();
    auto read = std::find(read_.begin(), read_.end(), name);
    if (read == read_.end() && std::find(columns_.begin(), columns_.end(), name) == columns_.end())
        throw EngineError(ErrorCode::ItemNotFound, describe::itemNotFound(name));
    if (eof_ || currentDeleted_) throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
    if (read == read_.end() && !moved_ && read_.empty() && listFromIndex(name)) {
        read_.push_back(name);
        read = read_.begin();
    } else if (read == read_.end()) {
        std::vector<std::string> wider = read_;
        wider.push_back(name);
        std::unique_ptr<detail::Statement> cursor = cursorFrom(wider, currentRowid_);
        // Another recordset of the same transaction may have deleted the row meanwhile.
        if (!cursor->step() || cursor->columnInt(0) != currentRowid_)
            throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
        cursor_ = std::move(cursor);
        read_ = std::move(wider);
        read = std::prev(read_.end());
        listing_ = false;
        listed_.clear();
    }
    if (listing_) return {name, listed_[next_].second};
    return {name, cursor_->column(static_cast<int>(read - read_.begin()) + 1)};
}

void Recordset::MoveNext() {
    checkOpen();
    if (eof_) throw EngineError(ErrorCode::NoCurrentRecord, describe::noCurrentRecord());
    moved_ = true;
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
    if (values.size() != columns_.size())
        throw EngineError(ErrorCode::InvalidArgument, describe::wrongValueCount(table_, columns_.size(), values.size()));
    if (!inserter_)
        inserter_ = std::make_unique<detail::Statement>(conn_->prepare(detail::insertRowSql(table_, columns_.size())));
    inserter_->reset();
    for (std::size_t i = 0; i < values.size(); ++i) inserter_->bind(static_cast<int>(i) + 1, values[i]);
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
