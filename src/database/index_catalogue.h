#pragma once

#include <string>
#include <vector>

// The definition of every index of the host's data files.
namespace catalogue {

struct IndexDefinition {
    std::string name;
    std::vector<std::string> fields;  // in index order, each ascending
    // Every catalogue index is unique and required and does not ignore Nulls; Key00 is the primary key.
    bool primary() const { return name == "Key00"; }
};

struct TableIndexes {
    std::vector<std::string> tables;  // tables sharing these definitions (T and U names alike)
    std::vector<IndexDefinition> indexes;  // in collection order
};

const std::vector<TableIndexes>& indexCatalogue();

// The indexes `table` must carry, in order; empty for a table the catalogue does not know.
const std::vector<IndexDefinition>& indexesOf(const std::string& table);

// The numbered tables of the work file ('U') or the design-document file ('T'), in the order
// a rebuild visits them: "U000", "U010", ... "U090". The files also hold "Data" and "Lock".
std::vector<std::string> numberedTables(char letter);

// nullptr when the catalogue has no such (table, index); names match exactly.
const IndexDefinition* findIndex(const std::string& table, const std::string& index);

}  // namespace catalogue
