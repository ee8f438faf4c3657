#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace engine {

// A column's value. Null (monostate) is distinct from every value, the empty text included.
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool isNull(const FieldValue& value) { return std::holds_alternative<std::monostate>(value); }

// Declared column types; the tools name them by a field's first letter.
enum class FieldType { Text, Long, Byte, Integer, Double };

struct ColumnDef {
    std::string name;
    FieldType type;
};

}  // namespace engine
