#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "field_value.h"
#include "recordset.h"
#include "table_def.h"

namespace engine {

namespace detail {
class Connection;
class IndexCache;
}

// An open data file.
class Database : public std::enable_shared_from_this<Database> {
public:
    explicit Database(std::shared_ptr<detail::Connection> conn);

    const std::string& Name() const { return name_; }
    bool isOpen() const { return conn_ != nullptr; }
    void Close();

    TableDefCollection TableDefs() { return TableDefCollection(shared_from_this()); }
    RecordsetPtr OpenRecordset(const std::string& name, int type = dbOpenTable, int options = dbDenyRead,
                               int lockEdit = dbOptimistic);
    void CreateTable(const std::string& name, const std::vector<ColumnDef>& columns);

    // Whether each commit waits until the disk holds it (so it is by default). Only for a file
    // that its user flushes as a whole before relying on it, such as a repair's scratch copy.
    void setCommitsFlushed(bool flushed);

    // What compaction could not carry over from a damaged source: one problem per entry,
    // with the table it concerns (empty for the file as a whole). Empty for a sound file.
    struct SalvageProblem {
        std::string table;
        std::string problem;
    };
    std::vector<SalvageProblem> SalvageProblems() const;

    // Rows that a salvaging compaction could not bring back: one entry per table that lost rows
    // (an empty name: rows whose table could not be told), with how many where that is known.
    struct RowLoss {
        std::string table;
        std::optional<std::int64_t> rows;
    };
    std::vector<RowLoss> RowLosses() const;
    // Whether a salvaging compaction found the password verifier lost and stored a new one for
    // the password it was given.
    bool VerifierRenewed() const;

    // For the engine's own objects; throws ObjectClosed after Close.
    detail::Connection& connection() const;
    detail::IndexCache& indexCache() const { return *indexCache_; }

    ~Database();

private:
    std::shared_ptr<detail::Connection> conn_;
    std::unique_ptr<detail::IndexCache> indexCache_;
    std::string name_;
};

using DatabasePtr = std::shared_ptr<Database>;

}  // namespace engine
