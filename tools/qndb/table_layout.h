#pragma once

#include <string>
#include <vector>

#include "database/engine/store/field_value.h"

namespace qndb {

// The text column that gives generated rows their weight.
inline constexpr const char* kPayloadColumn = "Payload";

// The host names a field by its type: A text, L long integer, B byte, D double, I integer.
// Throws std::invalid_argument for any other first letter.
engine::FieldType fieldType(const std::string& field);

// The columns of a new `table`: every field its catalogue indexes name, sorted by name,
// then the payload.
std::vector<engine::ColumnDef> columnsOf(const std::string& table);

// The field whose Null marks a row that lost its key.
std::string keyFieldOf(const std::string& table);

}  // namespace qndb
