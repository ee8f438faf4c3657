#pragma once

#include <memory>
#include <string>
#include <vector>

#include "field_value.h"
#include "index.h"

namespace engine {

class Database;

class TableDef {
public:
    TableDef(std::shared_ptr<Database> db, std::string name);

    const std::string& Name() const { return name_; }
    IndexCollection Indexes() const { return IndexCollection(db_, name_); }
    Index CreateIndex(const std::string& name) const { return Index(name_, name); }
    long RecordCount() const;
    std::vector<ColumnDef> columns() const;

private:
    std::shared_ptr<Database> db_;
    std::string name_;
};

// The user tables of a database in the order they were created; bookkeeping tables never appear.
class TableDefCollection {
public:
    explicit TableDefCollection(std::shared_ptr<Database> db);

    long Count() const;
    TableDef Item(long position) const;
    TableDef Item(const std::string& name) const;
    std::vector<std::string> names() const;

private:
    std::shared_ptr<Database> db_;
};

}  // namespace engine
