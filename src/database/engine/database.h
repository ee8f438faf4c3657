#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/database_file.h"
#include "database/engine/store/field_value.h"
#include "database/engine/recordset.h"
#include "database/engine/table_def.h"

namespace engine {

// An open data file, opened by Workspace::OpenDatabase or made by DBEngine::CreateDatabase.
// Every operation throws EngineError; after Close every one of them, and every one of the table
// definitions and index collections taken from it, throws ObjectClosed.
class Database : public detail::DatabaseFile {
public:
    // Throws ObjectNotSet for a null connection.
    explicit Database(std::shared_ptr<detail::Connection> conn);

    // The path the file was opened by.
    const std::string& Name() const { return path(); }
    bool isOpen() const { return DatabaseFile::isOpen(); }
    // Closes the file. Throws ObjectClosed when it is closed already.
    void Close() { close(); }

    // The user tables, in the order they were made; the engine's bookkeeping never shows.
    TableDefCollection TableDefs();
    // Opens a table-type recordset (the only type there is) over the whole table `name`; with
    // dbDenyRead it holds the table for itself until closed. Throws TableNotFound for a table that
    // is not there (or is bookkeeping), InvalidArgument for another type.
    RecordsetPtr OpenRecordset(const std::string& name, int type = dbOpenTable, int options = dbDenyRead,
                               int lockEdit = dbOptimistic);
    // Makes table `name` with `columns`, in one transaction. Throws InvalidArgument for an empty or
    // reserved name or no columns, and SQLite's refusal (a table of that name already there) as an
    // EngineError.
    void CreateTable(const std::string& name, const std::vector<ColumnDef>& columns);

    // Whether each commit waits until the disk holds it (so it is by default). Only for a file
    // that its user flushes as a whole before relying on it, such as a repair's scratch copy.
    void setCommitsFlushed(bool flushed);

    // What compaction could not carry over from a damaged source: one problem per entry,
    // with the table it concerns (empty for the file as a whole). Empty for a sound file. The
    // keys of the rows lost are not among them: RowLosses gives them.
    struct SalvageProblem {
        std::string table;
        std::string problem;
    };
    std::vector<SalvageProblem> SalvageProblems() const;

    // Rows that a salvaging compaction could not bring back: one entry per table that lost rows, by
    // the table's name, then one for rows whose table could not be told (an empty name); each with
    // how many where that is known, and the key of each lost row that an index of the damaged file
    // still names ("L000 = 7, A000 = 'x y'": the key's fields and values, text as an SQL literal),
    // in key order.
    struct RowLoss {
        std::string table;
        std::optional<std::int64_t> rows;
        std::vector<std::string> keys;
    };
    std::vector<RowLoss> RowLosses() const;
    // Whether a salvaging compaction found the password verifier lost and stored a new one for
    // the password it was given.
    bool VerifierRenewed() const;
};

using DatabasePtr = std::shared_ptr<Database>;

}  // namespace engine
