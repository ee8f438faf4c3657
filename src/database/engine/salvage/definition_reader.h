#pragma once

// Internal to the engine: reading table and index definitions that come from a damaged file.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/store/index_store.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

struct DefinedIndex {
    std::string name;  // SQLite's name
    std::string table;
    bool unique = false;
    std::vector<std::string> fields;
};

// A plain CREATE TABLE of `columns` under the name `table`: names and declared types, no
// constraint, no default, nothing else that a damaged definition could bring along.
std::string plainDefinition(const std::string& table, const std::vector<DeclaredColumn>& columns);

// Runs CREATE statements read from a damaged file in a private in-memory database of its own, so
// that such SQL runs nowhere else, and reads back what they define: the name, the columns of a
// table, the fields of an index. A table must be defined before its indexes.
class DefinitionReader {
public:
    DefinitionReader();

    // The name of the table or index that `sql` defines; nullopt when SQLite refuses it (or it
    // was defined already).
    std::optional<std::string> define(const std::string& sql);

    std::vector<DeclaredColumn> columnsOf(const std::string& table);
    std::optional<DefinedIndex> index(const std::string& name);

private:
    std::shared_ptr<Connection> probe_;
};

}  // namespace engine::detail
