#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/store/field_value.h"

namespace engine {

namespace detail {
class Connection;
class Statement;
}  // namespace detail

struct RecordField {
    std::string Name;
    FieldValue Value;
};

// Recordset types, options and lock modes the engine knows.
constexpr int dbOpenTable = 1;
constexpr int dbDenyRead = 2;
constexpr int dbOptimistic = 3;

// A table-type recordset, made by Database::OpenRecordset: every row of one table, in the order
// of their rowids, read forwards. It holds the table in one transaction from opening until Close
// (or destruction), exclusive for dbDenyRead: its deletions are visible to it at once and
// committed together, one commit per recordset. Every call throws ObjectClosed after Close.
class Recordset {
public:
    // Opens on the first row. Throws ObjectNotSet for a null connection, FileLocked while another
    // connection holds the table.
    Recordset(std::shared_ptr<detail::Connection> conn, std::string table, int options);
    // Commits what Close would have committed; a failure to commit rolls it back unreported.
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // EOF in the engine's model; the name is a C macro, hence the spelling.
    bool Eof() const;
    // The named column of the current row. Throws ItemNotFound for a column the table lacks,
    // NoCurrentRecord at the end or on a row deleted.
    RecordField Fields(const std::string& name) const;
    // To the next row; NoCurrentRecord at the end.
    void MoveNext();
    // Deletes the current row; the next MoveNext goes to the row that followed it.
    void Delete();
    // Appends a row with one value per column, in column order (InvalidArgument otherwise).
    void AddRow(const std::vector<FieldValue>& values);
    // Commits the recordset's changes and ends its hold on the table. A commit that fails (a full
    // disk, a write refused) is rolled back and thrown: the table is then as it was when opened.
    void Close();

    const std::string& Name() const { return table_; }
    bool isOpen() const { return conn_ != nullptr; }

private:
    void checkOpen() const;
    std::unique_ptr<detail::Statement> cursorFrom(const std::vector<std::string>& columns, std::int64_t rowid) const;
    bool listFromIndex(const std::string& column) const;
    void fetch();
    void finish(bool commit);

    std::shared_ptr<detail::Connection> conn_;
    std::string table_;
    // The cursor reads, after the rowid, only the columns asked for so far (in `read_`): reading
    // every column of every row would copy each row's text for nothing. Asking for another
    // column opens it again at the current row.
    mutable std::unique_ptr<detail::Statement> cursor_;
    mutable std::vector<std::string> read_;
    // A walk that reads one column from its first row on (a sweep of the table) takes the rowids and
    // that column from an index that holds them, a fraction of the table's pages, and walks them in
    // rowid order (`listed_`, at `next_`); asking for another column goes back to a cursor.
    mutable std::vector<std::pair<std::int64_t, FieldValue>> listed_;
    mutable bool listing_ = false;
    std::size_t next_ = 0;
    bool moved_ = false;
    std::unique_ptr<detail::Statement> deleter_;
    std::unique_ptr<detail::Statement> inserter_;
    std::vector<std::string> columns_;
    bool eof_ = true;
    bool currentDeleted_ = false;
    bool ownsTransaction_ = false;
    std::int64_t currentRowid_ = 0;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace engine
