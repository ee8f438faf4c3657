#pragma once

// Internal to the engine: the keys of the rows a salvage lost, told by the entries that the
// damaged file's indexes still hold for them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/engine/salvage/definition_reader.h"
#include "database/engine/store/field_value.h"
#include "database/engine/store/sqlite_connection.h"
#include "database/engine/salvage/tree_census.h"

namespace engine::detail {

// One index of a table, as the damaged file defines it and as the walk of its tree found it.
struct IndexTree {
    DefinedIndex definition;
    std::int64_t root = 0;
    bool primary = false;   // as the bookkeeping says; false when it cannot tell
    bool rootRead = false;  // whether its root page could be read
};

// The scratch tables, in `destination`'s temporary schema, that hold the entries of rows that did
// not come back, with values of up to `widest` fields.
void makeEntryStore(Connection& destination, std::size_t widest);
void dropEntryStore(Connection& destination);

// Keeps, while the trees of `table` are walked, each index entry whose row is not in
// `destination`; the entries of the table walked before are cleared.
class EntryRecorder {
public:
    EntryRecorder(Connection& destination, const std::string& table);
    // An entry of the table's index number `tree`.
    void record(std::size_t tree, std::int64_t rowid, const std::vector<FieldValue>& values);

private:
    std::size_t columns_;                // the store's value columns
    std::optional<Statement> cameBack_;  // none when the table itself did not come back
    Statement insert_;
};

// The key of each row of `lostRowids` (a query yielding rowids) that the recorded entries name, as
// "field = value" pairs joined by ", ", sorted by key; text as an SQL literal, so that a blank, a
// comma or a quote in it cannot be taken for the line's own. The key is the primary index's fields
// when its tree survived, else those of the widest surviving unique index. An entry names its row
// only where another index holds the same values for it, or where its row lay on a page of the
// table's tree that was lost (`lostRanges`) and no other entry says otherwise; and never by a key
// that a row that came back holds.
std::vector<std::string> lostRowKeys(Connection& destination, const std::string& table,
                                     const std::vector<IndexTree>& indexes, const std::vector<RowidRange>& lostRanges,
                                     const std::string& lostRowids);

}  // namespace engine::detail
