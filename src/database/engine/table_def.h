#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/engine/database_file.h"
#include "database/engine/store/field_value.h"
#include "database/engine/index.h"

namespace engine {

// One user table of an open file, found by TableDefCollection. Each call reads the file as it is
// now; it throws ObjectClosed once the file is closed, TableNotFound once the table is gone.
class TableDef {
public:
    // Throws ObjectNotSet for a null file.
    TableDef(std::shared_ptr<detail::DatabaseFile> db, std::string name);

    const std::string& Name() const { return name_; }
    // The table's indexes in collection order.
    IndexCollection Indexes() const { return IndexCollection(db_, name_); }
    // A new index of this table, not yet part of it: fill its fields and flags, then Append it to
    // Indexes().
    Index CreateIndex(const std::string& name) const { return Index(name_, name); }
    long RecordCount() const;
    // Its columns in order, with the types they were declared with.
    std::vector<ColumnDef> columns() const;

private:
    std::shared_ptr<detail::DatabaseFile> db_;
    std::string name_;
};

// The user tables of an open file in the order they were made; the engine's bookkeeping never
// appears. Throws ObjectClosed once the file is closed.
class TableDefCollection {
public:
    // Throws ObjectNotSet for a null file.
    explicit TableDefCollection(std::shared_ptr<detail::DatabaseFile> db);

    long Count() const;
    // Throws ItemNotFound for a position outside 0 .. Count() - 1.
    TableDef Item(long position) const;
    // Throws TableNotFound for a name no user table has (compared exactly).
    TableDef Item(const std::string& name) const;
    std::vector<std::string> names() const;

private:
    std::shared_ptr<detail::DatabaseFile> db_;
};

}  // namespace engine
