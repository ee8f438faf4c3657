#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/engine/store/field_value.h"

namespace qndb {

// The seed of files made without --seed, and of the rows that damage adds.
inline constexpr std::uint64_t kDefaultSeed = 1;

// Deterministic rows for one table. A field's value in row n is base + n * stride, with an odd
// stride wrapped to the type's range, so that every field differs from row to row as far as
// its type allows and every index, or any leading part of one, stays unique: bytes repeat
// only after 256 rows, integers after 32768. Base and stride come from the seed and the
// table's name; the payload column gets Japanese remarks of 100 to 300 characters.
class RowMaker {
public:
    // Keeps long integers within 32 bits even for rows added after a full file.
    static constexpr std::int64_t kMaxRows = 10'000'000;

    RowMaker(const std::vector<engine::ColumnDef>& columns, const std::string& table, std::uint64_t seed);

    // Puts row `number` (from 1) into `row`, one value per column.
    void fill(std::int64_t number, std::vector<engine::FieldValue>& row) const;

private:
    struct Column {
        engine::FieldType type;
        bool payload;
        std::int64_t base;
        std::int64_t stride;
        char letters[2];
    };

    engine::FieldValue value(const Column& column, std::int64_t number) const;
    std::string payload(std::int64_t number) const;

    std::vector<Column> columns_;
    std::uint64_t payloadSeed_ = 0;
};

}  // namespace qndb
