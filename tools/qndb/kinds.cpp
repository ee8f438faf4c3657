#include "qndb/kinds.h"

#include "database/index_catalogue.h"

namespace qndb {

const hostkind::HostKind* findKind(std::string_view name) {
    for (const hostkind::HostKind& kind : hostkind::kKinds)
        if (name == kind.qndbName) return &kind;
    return nullptr;
}

std::vector<std::string> tablesOf(const hostkind::HostKind& kind) {
    std::vector<std::string> tables = {"Data", "Lock"};
    if (kind.tableLetter != '\0')
        for (std::string& table : catalogue::numberedTables(kind.tableLetter)) tables.push_back(std::move(table));
    return tables;
}

}  // namespace qndb
