#include "database/engine/salvage/lost_row_keys.h"

#include <algorithm>

#include "database/engine/store/index_store.h"

namespace engine::detail {

namespace {

// Each entry of an index whose row did not come back: the index's number, the rowid, its values.
constexpr const char* kEntries = "temp.qn_entries";
// The key of each lost row that can be named.
constexpr const char* kNamed = "temp.qn_named";

std::string numbered(const char* prefix, std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i) list += (i == 0 ? "" : ", ") + std::string(prefix) + std::to_string(i);
    return list;
}

std::string parameters(std::size_t count) {
    std::string list;
    for (std::size_t i = 0; i < count; ++i) list += i == 0 ? "?" : ", ?";
    return list;
}

// The value columns of kEntries, as many as the widest index has fields.
std::size_t valueColumns(Connection& destination) {
    return static_cast<std::size_t>(
        destination.queryInt("SELECT count(*) - 2 FROM pragma_table_info('qn_entries', 'temp')"));
}

const IndexTree* chosenKey(const std::vector<IndexTree>& indexes) {
    for (const IndexTree& index : indexes)
        if (index.primary && index.rootRead) return &index;
    const IndexTree* widest = nullptr;
    for (const IndexTree& index : indexes)
        if (index.rootRead && index.definition.unique &&
            (widest == nullptr || index.definition.fields.size() > widest->definition.fields.size()))
            widest = &index;
    return widest;
}

// The entries of every index that holds all of `key`'s fields, each as (tree, id, k0, k1, ...):
// its values of those fields, in the key's order.
std::string keyEntries(const std::vector<IndexTree>& indexes, const std::vector<std::string>& key) {
    std::string select;
    for (std::size_t tree = 0; tree < indexes.size(); ++tree) {
        const std::vector<std::string>& fields = indexes[tree].definition.fields;
        std::string columns;
        for (std::size_t k = 0; k < key.size(); ++k) {
            const auto found = std::find(fields.begin(), fields.end(), key[k]);
            if (found == fields.end()) {
                columns.clear();
                break;
            }
            columns += ", c" + std::to_string(found - fields.begin()) + " AS k" + std::to_string(k);
        }
        if (columns.empty()) continue;
        select += (select.empty() ? "" : " UNION ALL ") + std::string("SELECT tree, id") + columns + " FROM " +
                  kEntries + " WHERE tree = " + std::to_string(tree);
    }
    return select;
}

struct Candidate {
    std::vector<FieldValue> key;
    std::vector<std::int64_t> trees;  // the indexes that hold it
};

// The key that names the row, if any: the one that two indexes agree on, or the only one there
// is for a row whose page was lost.
const Candidate* nameOf(std::int64_t rowid, const std::vector<Candidate>& candidates,
                        const std::vector<RowidRange>& lostRanges) {
    const auto agreed = [](const Candidate& c) { return c.trees.size() >= 2; };
    const auto firstAgreed = std::find_if(candidates.begin(), candidates.end(), agreed);
    if (firstAgreed != candidates.end())
        return std::count_if(candidates.begin(), candidates.end(), agreed) == 1 ? &*firstAgreed : nullptr;
    const bool onLostPage =
        std::any_of(lostRanges.begin(), lostRanges.end(), [&](const RowidRange& r) { return r.holds(rowid); });
    return candidates.size() == 1 && onLostPage ? &candidates.front() : nullptr;
}

// Fills the named keys' table for the rows of `lostRowids`.
void nameLostRows(Connection& destination, const std::string& entries, std::size_t keyFields,
                  const std::vector<RowidRange>& lostRanges, const std::string& lostRowids) {
    const std::string key = numbered("k", keyFields);
    Statement rows = destination.prepare("SELECT id, tree, " + key + " FROM (" + entries + ") WHERE id IN (" +
                                         lostRowids + ") ORDER BY id");
    Statement insert = destination.prepare(std::string("INSERT INTO ") + kNamed + "(" + key + ") VALUES(" +
                                           parameters(keyFields) + ")");
    const auto name = [&](std::int64_t rowid, const std::vector<Candidate>& candidates) {
        const Candidate* named = nameOf(rowid, candidates, lostRanges);
        if (named == nullptr) return;
        insert.reset();
        for (std::size_t k = 0; k < keyFields; ++k) insert.bind(static_cast<int>(k + 1), named->key[k]);
        insert.step();
    };
    std::optional<std::int64_t> rowid;
    std::vector<Candidate> candidates;
    std::vector<FieldValue> values(keyFields);
    while (rows.step()) {
        const std::int64_t id = rows.columnInt(0);
        if (rowid && *rowid != id) {
            name(*rowid, candidates);
            candidates.clear();
        }
        rowid = id;
        for (std::size_t k = 0; k < keyFields; ++k) values[k] = rows.column(static_cast<int>(k + 2));
        auto same =
            std::find_if(candidates.begin(), candidates.end(), [&](const Candidate& c) { return c.key == values; });
        if (same == candidates.end()) same = candidates.insert(candidates.end(), {values, {}});
        // A damaged index may hold the same entry twice: it is still one index's word.
        if (std::find(same->trees.begin(), same->trees.end(), rows.columnInt(1)) == same->trees.end())
            same->trees.push_back(rows.columnInt(1));
    }
    if (rowid) name(*rowid, candidates);
}

}  // namespace

void makeEntryStore(Connection& destination, std::size_t widest) {
    destination.exec(std::string("CREATE TABLE ") + kEntries + "(tree INTEGER NOT NULL, id INTEGER NOT NULL" +
                     (widest > 0 ? ", " + numbered("c", widest) : "") + ")");
    destination.exec(std::string("CREATE TABLE ") + kNamed + "(" + numbered("k", std::max<std::size_t>(widest, 1)) +
                     ")");
}

void dropEntryStore(Connection& destination) {
    destination.exec(std::string("DROP TABLE ") + kNamed);
    destination.exec(std::string("DROP TABLE ") + kEntries);
}

EntryRecorder::EntryRecorder(Connection& destination, const std::string& table)
    : columns_(valueColumns(destination)),
      insert_(
          destination.prepare(std::string("INSERT INTO ") + kEntries + " VALUES(" + parameters(columns_ + 2) + ")")) {
    destination.exec(std::string("DELETE FROM ") + kEntries);
    if (tableExists(destination, table))
        cameBack_.emplace(destination.prepare("SELECT 1 FROM main." + quoteIdentifier(table) + " WHERE rowid = ?"));
}

void EntryRecorder::record(std::size_t tree, std::int64_t rowid, const std::vector<FieldValue>& values) {
    if (cameBack_) {
        cameBack_->reset();
        cameBack_->bind(1, rowid);
        if (cameBack_->step()) return;
    }
    insert_.reset();
    insert_.bind(1, static_cast<std::int64_t>(tree)).bind(2, rowid);
    // A statement keeps its bindings from one row to the next: the columns past this entry's are Null.
    for (std::size_t i = 0; i < columns_; ++i)
        insert_.bind(static_cast<int>(i + 3), i < values.size() ? values[i] : FieldValue{});
    insert_.step();
}

std::vector<std::string> lostRowKeys(Connection& destination, const std::string& table,
                                     const std::vector<IndexTree>& indexes, const std::vector<RowidRange>& lostRanges,
                                     const std::string& lostRowids) {
    destination.exec(std::string("DELETE FROM ") + kNamed);
    const IndexTree* chosen = chosenKey(indexes);
    if (chosen == nullptr || chosen->definition.fields.empty()) return {};
    const std::vector<std::string>& fields = chosen->definition.fields;
    nameLostRows(destination, keyEntries(indexes, fields), fields.size(), lostRanges, lostRowids);

    const std::string key = numbered("k", fields.size());
    // A key is held by one row at most: a row that came back with it is the one it names.
    const std::vector<std::string> columns = tableColumns(destination, table);
    if (std::all_of(fields.begin(), fields.end(), [&](const std::string& f) {
            return std::find(columns.begin(), columns.end(), f) != columns.end();
        })) {
        std::string held;
        for (const std::string& field : fields) held += (held.empty() ? "" : ", ") + quoteIdentifier(field);
        destination.exec(std::string("DELETE FROM ") + kNamed + " WHERE (" + key + ") IN (SELECT " + held +
                         " FROM main." + quoteIdentifier(table) + ")");
    }
    std::string shown;
    for (std::size_t k = 0; k < fields.size(); ++k)
        shown += (k == 0 ? "" : ", ") + std::string("unistr_quote(k") + std::to_string(k) + ")";
    Statement named = destination.prepare("SELECT " + shown + " FROM " + kNamed + " ORDER BY " + key);
    std::vector<std::string> keys;
    while (named.step()) {
        std::string line;
        for (std::size_t k = 0; k < fields.size(); ++k)
            line += (k == 0 ? "" : ", ") + fields[k] + " = " + named.columnText(static_cast<int>(k));
        keys.push_back(std::move(line));
    }
    return keys;
}

}  // namespace engine::detail
