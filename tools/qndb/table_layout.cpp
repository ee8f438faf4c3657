#include "qndb/table_layout.h"

#include <set>
#include <stdexcept>

#include "database/index_catalogue.h"

namespace qndb {

engine::FieldType fieldType(const std::string& field) {
    switch (field.empty() ? '\0' : field.front()) {
    case 'A': return engine::FieldType::Text;
    case 'L': return engine::FieldType::Long;
    case 'B': return engine::FieldType::Byte;
    case 'D': return engine::FieldType::Double;
    case 'I': return engine::FieldType::Integer;
    default: throw std::invalid_argument("field '" + field + "' has no known type letter");
    }
}

std::vector<engine::ColumnDef> columnsOf(const std::string& table) {
    std::set<std::string> fields;
    for (const catalogue::IndexDefinition& index : catalogue::indexesOf(table))
        fields.insert(index.fields.begin(), index.fields.end());
    std::vector<engine::ColumnDef> columns;
    for (const std::string& field : fields) columns.push_back({field, fieldType(field)});
    columns.push_back({kPayloadColumn, engine::FieldType::Text});
    return columns;
}

std::string keyFieldOf(const std::string& table) { return table == "Data" || table == "Lock" ? "A000" : "L000"; }

}  // namespace qndb
