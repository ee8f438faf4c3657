#include "index_proof.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace engine::detail {

namespace {

constexpr const char* kTableFunction = "qn_table_entries";
constexpr const char* kIndexFunction = "qn_index_entries";

// A 64-bit hash of each entry's values, taken eight bytes at a time and mixed at the end: a sum of
// such hashes tells two sets of entries apart unless they are the same.
struct Hash {
    std::uint64_t state = 0x243F6A8885A308D3ULL;
    void addWord(std::uint64_t word) {
        state ^= word;
        state *= 0x9E3779B97F4A7C15ULL;
        state ^= state >> 29;
    }
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (; size >= 8; size -= 8, bytes += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes, 8);
            addWord(word);
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, bytes, size);
        addWord(tail ^ (static_cast<std::uint64_t>(size) << 56));
    }
    std::uint64_t mixed() const {
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
};

// A real that holds a whole number is stored as an integer in a record and read back as a real,
// in either the table or the index: both are hashed as the number they are.
void hashValue(Hash& hash, sqlite3_value* value) {
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_INTEGER) return hash.addWord(static_cast<std::uint64_t>(sqlite3_value_int64(value)) * 3 + 1);
    if (type == SQLITE_FLOAT) {
        const double d = sqlite3_value_double(value);
        if (std::trunc(d) == d && std::fabs(d) < 9.0e18)
            return hash.addWord(static_cast<std::uint64_t>(static_cast<std::int64_t>(d)) * 3 + 1);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof d);
        return hash.addWord(bits * 3 + 2);
    }
    if (type == SQLITE_NULL) return hash.addWord(0x5555555555555555ULL);
    const void* bytes = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(value)) : sqlite3_value_blob(value);
    hash.addWord(static_cast<std::uint64_t>(type));
    hash.add(bytes, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

// Over the keys of a unique index in the order it keeps them: whether a key comes before the one
// it follows (the order cannot be relied on) or repeats it (the index is not unique). Keys with a
// Null may repeat. The previous key is kept in storage of its own, reused from row to row.
struct KeptValue {
    int type = SQLITE_NULL;
    sqlite3_int64 integer = 0;
    double real = 0;
    std::string bytes;
};

int rankOf(int type) { return type == SQLITE_NULL ? 0 : type == SQLITE_TEXT ? 2 : type == SQLITE_BLOB ? 3 : 1; }

// The order of BINARY keys, as an index keeps them: Null, numbers, text, blobs.
int compare(const KeptValue& a, sqlite3_value* b) {
    const int type = sqlite3_value_type(b);
    const int ra = rankOf(a.type), rb = rankOf(type);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra == 0) return 0;
    if (ra == 1) {
        if (a.type == SQLITE_INTEGER && type == SQLITE_INTEGER) {
            const sqlite3_int64 y = sqlite3_value_int64(b);
            return a.integer < y ? -1 : a.integer > y ? 1 : 0;
        }
        const double x = a.type == SQLITE_INTEGER ? static_cast<double>(a.integer) : a.real;
        const double y = sqlite3_value_double(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const void* pb = ra == 2 ? static_cast<const void*>(sqlite3_value_text(b)) : sqlite3_value_blob(b);
    const auto nb = static_cast<std::size_t>(sqlite3_value_bytes(b));
    const std::size_t na = a.bytes.size();
    const int c = std::memcmp(a.bytes.data(), pb, std::min(na, nb));
    return c != 0 ? c : na < nb ? -1 : na > nb ? 1 : 0;
}

void keep(KeptValue& kept, sqlite3_value* value) {
    kept.type = sqlite3_value_type(value);
    if (kept.type == SQLITE_INTEGER) kept.integer = sqlite3_value_int64(value);
    if (kept.type == SQLITE_FLOAT) kept.real = sqlite3_value_double(value);
    if (kept.type == SQLITE_TEXT || kept.type == SQLITE_BLOB) {
        const void* p = kept.type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(value)) : sqlite3_value_blob(value);
        kept.bytes.assign(static_cast<const char*>(p), static_cast<std::size_t>(sqlite3_value_bytes(value)));
    }
}

// An index's side: the sum of its entries' hashes, and whether a key of a unique index came before
// the one it follows (the order cannot be relied on) or repeated it (the index is not unique);
// keys with a Null may repeat. The previous key is kept in storage of its own, reused.
// Arguments: whether the index is unique, its key columns, the rowid.
struct IndexSide {
    std::uint64_t sum = 0;
    std::vector<KeptValue> previous;
    bool started = false;
    bool disorder = false;
};

void indexStep(sqlite3_context* context, int argc, sqlite3_value** argv) {
    auto** state = static_cast<IndexSide**>(sqlite3_aggregate_context(context, sizeof(IndexSide*)));
    if (state == nullptr) return sqlite3_result_error_nomem(context);
    const int keys = argc - 2;
    if (*state == nullptr) *state = new IndexSide{0, std::vector<KeptValue>(static_cast<std::size_t>(keys))};
    IndexSide& side = **state;
    Hash hash;
    for (int i = 1; i < argc; ++i) hashValue(hash, argv[i]);
    side.sum += hash.mixed();
    if (sqlite3_value_int(argv[0]) == 0 || side.disorder) return;
    sqlite3_value** key = argv + 1;
    if (side.started) {
        int order = 0;
        bool withNull = false;
        for (int i = 0; i < keys && order == 0; ++i) order = compare(side.previous[static_cast<std::size_t>(i)], key[i]);
        for (int i = 0; i < keys; ++i) withNull = withNull || sqlite3_value_type(key[i]) == SQLITE_NULL;
        side.disorder = order > 0 || (order == 0 && !withNull);
    }
    for (int i = 0; i < keys; ++i) keep(side.previous[static_cast<std::size_t>(i)], key[i]);
    side.started = true;
}

// Its result: the sum's eight bytes, then whether the keys were out of order or repeated.
void indexFinal(sqlite3_context* context) {
    auto** state = static_cast<IndexSide**>(sqlite3_aggregate_context(context, 0));
    IndexSide* side = state != nullptr ? *state : nullptr;
    unsigned char result[9] = {};
    if (side != nullptr) {
        std::memcpy(result, &side->sum, 8);
        result[8] = side->disorder ? 1 : 0;
    }
    sqlite3_result_blob(context, result, sizeof result, SQLITE_TRANSIENT);
    delete side;
}

// A table's side: for each of its indexes, the sum of the hashes of what its entry for each row
// should be. Arguments: the distinct columns its indexes use, then the rowid; which of them make
// each index's key is the function's own data.
using KeyLayout = std::vector<std::vector<int>>;

void tableStep(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const auto& layout = *static_cast<const KeyLayout*>(sqlite3_user_data(context));
    auto* sums = static_cast<std::uint64_t*>(sqlite3_aggregate_context(context, static_cast<int>(8 * layout.size())));
    if (sums == nullptr) return sqlite3_result_error_nomem(context);
    sqlite3_value* rowid = argv[argc - 1];
    for (std::size_t j = 0; j < layout.size(); ++j) {
        Hash hash;
        for (const int column : layout[j]) hashValue(hash, argv[column]);
        hashValue(hash, rowid);
        sums[j] += hash.mixed();
    }
}

void tableFinal(sqlite3_context* context) {
    const auto& layout = *static_cast<const KeyLayout*>(sqlite3_user_data(context));
    auto* sums = static_cast<std::uint64_t*>(sqlite3_aggregate_context(context, 0));
    const std::vector<std::uint64_t> zeros(layout.size());
    sqlite3_result_blob(context, sums != nullptr ? static_cast<const void*>(sums) : zeros.data(),
                        static_cast<int>(8 * layout.size()), SQLITE_TRANSIENT);
}

struct ProvableIndex {
    std::string name;
    bool unique = false;
    std::vector<std::string> keys;  // its key columns, in index order
};

// The key columns of `index`, or nothing when the proof cannot read it.
std::optional<std::vector<std::string>> plainKeys(Connection& conn, const std::string& index) {
    Statement info = conn.prepare("SELECT cid, name, coll, \"desc\" FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno");
    info.bind(1, index);
    std::vector<std::string> keys;
    while (info.step()) {
        if (info.columnInt(0) < 0 || info.columnText(2) != "BINARY" || info.columnInt(3) != 0) return std::nullopt;
        keys.push_back(info.columnText(1));
    }
    if (keys.empty()) return std::nullopt;
    return keys;
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + quoteIdentifier(name);
    return list;
}

void registerIndexSide(Connection& conn) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    if (const int rc = sqlite3_create_function_v2(conn.handle(), kIndexFunction, -1, flags, nullptr, nullptr, indexStep,
                                                  indexFinal, nullptr);
        rc != SQLITE_OK)
        conn.fail(rc);
}

}  // namespace

std::vector<std::string> disagreeingIndexes(Connection& conn, const std::string& table) {
    Statement list = conn.prepare("SELECT name, \"unique\", partial FROM pragma_index_list(?)");
    list.bind(1, table);
    std::vector<ProvableIndex> indexes;
    std::vector<std::string> disagreeing;
    while (list.step()) {
        std::optional<std::vector<std::string>> keys;
        if (list.columnInt(2) == 0) keys = plainKeys(conn, list.columnText(0));
        if (keys)
            indexes.push_back({list.columnText(0), list.columnInt(1) != 0, std::move(*keys)});
        else
            disagreeing.push_back(list.columnText(0));
    }
    if (indexes.empty()) return disagreeing;
    // Each column the indexes use is read from the table once, whatever number of indexes use it.
    std::vector<std::string> columns;
    KeyLayout layout;
    for (const ProvableIndex& index : indexes) {
        std::vector<int> positions;
        for (const std::string& key : index.keys) {
            auto found = std::find(columns.begin(), columns.end(), key);
            if (found == columns.end()) found = columns.insert(columns.end(), key);
            positions.push_back(static_cast<int>(found - columns.begin()));
        }
        layout.push_back(std::move(positions));
    }
    registerIndexSide(conn);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    if (const int rc = sqlite3_create_function_v2(conn.handle(), kTableFunction, -1, flags, &layout, nullptr, tableStep,
                                                  tableFinal, nullptr);
        rc != SQLITE_OK)
        conn.fail(rc);
    const std::string quoted = quoteIdentifier(table);
    std::string expected;
    {
        Statement fromTable = conn.prepare("SELECT " + std::string(kTableFunction) + "(" + quotedList(columns) +
                                           ", rowid) FROM " + quoted + " NOT INDEXED");
        if (fromTable.step()) expected = fromTable.columnText(0);
    }
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const ProvableIndex& index = indexes[i];
        // Only the index's own columns and the rowid: the scan reads the index and never the table.
        Statement fromIndex = conn.prepare("SELECT " + std::string(kIndexFunction) + "(" + (index.unique ? "1" : "0") +
                                           ", " + quotedList(index.keys) + ", rowid) FROM " + quoted + " INDEXED BY " +
                                           quoteIdentifier(index.name));
        const std::string found = fromIndex.step() ? fromIndex.columnText(0) : std::string();
        const bool agrees = found.size() == 9 && expected.size() == 8 * indexes.size() &&
                            found.compare(0, 8, expected, 8 * i, 8) == 0 && found[8] == 0;
        if (!agrees) disagreeing.push_back(index.name);
    }
    return disagreeing;
}

bool indexesAgreeWithTables(Connection& conn) {
    Statement tables = conn.prepare(
        "SELECT name, EXISTS(SELECT 1 FROM pragma_table_list WHERE schema = 'main' AND name = s.name AND wr = 0)"
        " FROM sqlite_schema s"
        " WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
    std::vector<std::string> names;
    while (tables.step()) {
        if (tables.columnInt(1) == 0) return false;  // without rowids
        names.push_back(tables.columnText(0));
    }
    for (const std::string& table : names)
        if (!disagreeingIndexes(conn, table).empty()) return false;
    return true;
}

}  // namespace engine::detail
