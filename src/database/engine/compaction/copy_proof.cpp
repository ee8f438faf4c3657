#include "database/engine/compaction/copy_proof.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace engine::detail {

namespace {

constexpr const char* kRowsFunction = "qn_copy_rows";
constexpr const char* kEntriesFunction = "qn_copy_entries";

// Hashes of 64 bits: one per value, mixed in order into one per index entry, and summed, so that
// two sets of entries have the same sum only when they are the same.
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kSeed = 0x243F6A8885A308D3ULL;

std::uint64_t combine(std::uint64_t state, std::uint64_t value) {
    state ^= value;
    state *= kMultiplier;
    return state ^ (state >> 29);
}

std::uint64_t finish(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t ofInteger(std::int64_t value) { return static_cast<std::uint64_t>(value) * kMultiplier + 1; }

// A real that holds a whole number is stored as an integer in a record and read back as a real,
// in the table or in the index: both hash as the number they are. Text is hashed as its bytes, as
// BINARY compares it (sqlite3_value_blob hands them over without conversion).
std::uint64_t hashOf(sqlite3_value* value, int type) {
    if (type == SQLITE_INTEGER) return ofInteger(sqlite3_value_int64(value));
    if (type == SQLITE_FLOAT) {
        const double d = sqlite3_value_double(value);
        if (std::trunc(d) == d && std::fabs(d) < 9.0e18) return ofInteger(static_cast<std::int64_t>(d));
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof d);
        return bits * kMultiplier + 2;
    }
    if (type == SQLITE_NULL) return 0x5555555555555555ULL;
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(value));
    auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
    std::uint64_t state = combine(kSeed, static_cast<std::uint64_t>(type));
    for (; size >= 8; size -= 8, bytes += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, 8);
        state = combine(state, word);
    }
    std::uint64_t tail = 0;
    if (size > 0) std::memcpy(&tail, bytes, size);
    return combine(state, tail ^ (static_cast<std::uint64_t>(size) << 56));
}

// SQLite's column affinity, from the declared type: what its check asks of the column's values.
enum class Affinity { Blob, Text, Numeric };

Affinity affinityOf(std::string declared) {
    std::transform(declared.begin(), declared.end(), declared.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto has = [&](const char* part) { return declared.find(part) != std::string::npos; };
    if (has("INT")) return Affinity::Numeric;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return Affinity::Text;
    if (has("BLOB") || declared.empty()) return Affinity::Blob;
    return Affinity::Numeric;
}

struct Column {
    std::string name;
    Affinity affinity = Affinity::Blob;
    bool notNull = false;
    bool keyed = false;  // read by one of the indexes proven
};

struct ProvableIndex {
    std::string name;
    bool unique = false;
    std::vector<std::size_t> keys;  // positions in the table's columns, in index order
};

struct TableShape {
    std::string name;
    std::vector<Column> columns;
    std::vector<ProvableIndex> indexes;
};

// The table's side, over its rows in rowid order: the checks of SQLite's quick check, and for each
// index the sum of the hashes of what its entry for each row must be. Arguments: the rowid, then
// every column in order.
struct RowsPass {
    const TableShape* shape = nullptr;
    std::vector<std::uint64_t> sums;    // one per index
    std::vector<std::uint64_t> hashes;  // this row's, one per column
    std::int64_t rows = 0;
    std::int64_t lastRowid = 0;
    std::string fault;
};

// An index's side, over its entries in the order it keeps them. Arguments: its key columns, then
// the rowid. The previous entry's key is kept in storage of its own, reused from entry to entry.
struct KeptValue {
    int type = SQLITE_NULL;
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes;
};

struct EntriesPass {
    bool unique = false;
    std::uint64_t sum = 0;
    std::int64_t entries = 0;
    std::vector<KeptValue> previous;
    std::vector<int> types;  // this entry's, one per key column
    std::int64_t previousRowid = 0;
    bool outOfOrder = false;
};

struct Passes {
    RowsPass* rows = nullptr;
    EntriesPass* entries = nullptr;
};

std::string valueFault(const char* kind, const TableShape& shape, const Column& column) {
    return std::string(kind) + " value in " + shape.name + "." + column.name;
}

void rowsStep(sqlite3_context* context, int argc, sqlite3_value** argv) {
    RowsPass& pass = *static_cast<Passes*>(sqlite3_user_data(context))->rows;
    const TableShape& shape = *pass.shape;
    if (!pass.fault.empty() || static_cast<std::size_t>(argc) != shape.columns.size() + 1) return;
    const std::int64_t rowid = sqlite3_value_int64(argv[0]);
    if (pass.rows > 0 && rowid <= pass.lastRowid) {
        pass.fault = "Rowid " + std::to_string(rowid) + " out of order in " + shape.name;
        return;
    }
    pass.lastRowid = rowid;
    ++pass.rows;
    for (std::size_t c = 0; c < shape.columns.size(); ++c) {
        const Column& column = shape.columns[c];
        sqlite3_value* value = argv[c + 1];
        const int type = sqlite3_value_type(value);
        if (column.keyed) pass.hashes[c] = hashOf(value, type);
        if (type == SQLITE_NULL) {
            if (column.notNull) pass.fault = valueFault("NULL", shape, column);
        } else if (column.affinity == Affinity::Text && (type == SQLITE_INTEGER || type == SQLITE_FLOAT)) {
            pass.fault = valueFault("NUMERIC", shape, column);
        } else if (column.affinity == Affinity::Numeric && type == SQLITE_TEXT &&
                   sqlite3_value_numeric_type(value) != SQLITE_TEXT) {
            pass.fault = valueFault("TEXT", shape, column);
        }
        if (!pass.fault.empty()) return;
    }
    const std::uint64_t ofRowid = ofInteger(rowid);
    for (std::size_t i = 0; i < shape.indexes.size(); ++i) {
        std::uint64_t state = kSeed;
        for (const std::size_t key : shape.indexes[i].keys) state = combine(state, pass.hashes[key]);
        pass.sums[i] += finish(combine(state, ofRowid));
    }
}

void noResult(sqlite3_context* context) { sqlite3_result_null(context); }

int rankOf(int type) { return type == SQLITE_NULL ? 0 : type == SQLITE_TEXT ? 2 : type == SQLITE_BLOB ? 3 : 1; }

// An integer against a real, exactly, as SQLite orders them.
int compareNumbers(std::int64_t i, double r) {
    if (r < -9223372036854775808.0) return 1;
    if (r >= 9223372036854775808.0) return -1;
    const auto y = static_cast<std::int64_t>(r);
    if (i != y) return i < y ? -1 : 1;
    const auto s = static_cast<double>(i);
    return s < r ? -1 : s > r ? 1 : 0;
}

// The order of BINARY keys, as an index keeps them: Null, numbers, text, blobs.
int compare(const KeptValue& a, sqlite3_value* b, int type) {
    const int ra = rankOf(a.type);
    const int rb = rankOf(type);
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra == 0) return 0;
    if (ra == 1) {
        if (a.type == SQLITE_INTEGER && type == SQLITE_INTEGER) {
            const std::int64_t y = sqlite3_value_int64(b);
            return a.integer < y ? -1 : a.integer > y ? 1 : 0;
        }
        if (a.type == SQLITE_INTEGER) return compareNumbers(a.integer, sqlite3_value_double(b));
        if (type == SQLITE_INTEGER) return -compareNumbers(sqlite3_value_int64(b), a.real);
        const double y = sqlite3_value_double(b);
        return a.real < y ? -1 : a.real > y ? 1 : 0;
    }
    const void* bytes = sqlite3_value_blob(b);
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(b));
    const int c = size == 0 || a.bytes.empty() ? 0 : std::memcmp(a.bytes.data(), bytes, std::min(a.bytes.size(), size));
    return c != 0 ? (c < 0 ? -1 : 1) : a.bytes.size() < size ? -1 : a.bytes.size() > size ? 1 : 0;
}

void keep(KeptValue& kept, sqlite3_value* value, int type) {
    kept.type = type;
    if (type == SQLITE_INTEGER) kept.integer = sqlite3_value_int64(value);
    if (type == SQLITE_FLOAT) kept.real = sqlite3_value_double(value);
    if (type == SQLITE_TEXT || type == SQLITE_BLOB)
        kept.bytes.assign(static_cast<const char*>(sqlite3_value_blob(value)),
                          static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

void entriesStep(sqlite3_context* context, int argc, sqlite3_value** argv) {
    EntriesPass& pass = *static_cast<Passes*>(sqlite3_user_data(context))->entries;
    const auto keys = static_cast<std::size_t>(argc - 1);
    if (keys != pass.previous.size()) return;
    std::vector<int>& types = pass.types;
    std::uint64_t state = kSeed;
    for (std::size_t i = 0; i < keys; ++i) {
        types[i] = sqlite3_value_type(argv[i]);
        state = combine(state, hashOf(argv[i], types[i]));
    }
    const std::int64_t rowid = sqlite3_value_int64(argv[keys]);
    pass.sum += finish(combine(state, ofInteger(rowid)));
    // Against the entry before: its key must come first, or be the same key with a smaller rowid
    // where the index allows a key twice (any index, or a unique one for a key with a Null).
    std::size_t first = 0;  // the first key column that differs from the entry before
    if (pass.entries > 0) {
        int order = 0;
        bool withNull = false;
        for (; first < keys; ++first) {
            withNull = withNull || types[first] == SQLITE_NULL;
            order = compare(pass.previous[first], argv[first], types[first]);
            if (order != 0) break;
        }
        if (order > 0 || (order == 0 && ((pass.unique && !withNull) || rowid <= pass.previousRowid)))
            pass.outOfOrder = true;
    }
    for (std::size_t i = first; i < keys; ++i) keep(pass.previous[i], argv[i], types[i]);
    pass.previousRowid = rowid;
    ++pass.entries;
}

// Keeps the proof's two functions registered on the copy for as long as their passes exist.
class Registered {
public:
    Registered(Connection& conn, Passes& passes) : conn_(conn) {
        using Step = void (*)(sqlite3_context*, int, sqlite3_value**);
        const int flags = SQLITE_UTF8 | SQLITE_DIRECTONLY;
        for (const auto& [name, step] : {std::pair<const char*, Step>{kRowsFunction, rowsStep},
                                         std::pair<const char*, Step>{kEntriesFunction, entriesStep}})
            if (const int rc = sqlite3_create_function_v2(conn.handle(), name, -1, flags, &passes, nullptr, step,
                                                          noResult, nullptr);
                rc != SQLITE_OK)
                conn.fail(rc);
    }
    ~Registered() {
        for (const char* name : {kRowsFunction, kEntriesFunction})
            sqlite3_create_function_v2(conn_.handle(), name, -1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    Registered(const Registered&) = delete;
    Registered& operator=(const Registered&) = delete;

private:
    Connection& conn_;
};

std::string quotedList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + quoteIdentifier(name);
    return list;
}

bool namesRowid(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "rowid" || name == "oid" || name == "_rowid_";
}

// The table's columns, when this proof can read its rows as SQLite's check would: an ordinary
// table with rowids, no STRICT typing, no CHECK constraint (its definition never says CHECK), no
// generated column, no column that hides the rowid, not wider than a function takes.
std::optional<std::vector<Column>> columnsOf(Connection& copy, const std::string& table, const std::string& definition) {
    std::string upper = definition;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.find("CHECK") != std::string::npos) return std::nullopt;
    Statement kind = copy.prepare("SELECT wr, strict FROM pragma_table_list WHERE schema = 'main' AND name = ?");
    kind.bind(1, table);
    if (!kind.step() || kind.columnInt(0) != 0 || kind.columnInt(1) != 0) return std::nullopt;
    Statement info = copy.prepare("SELECT name, type, \"notnull\", hidden FROM pragma_table_xinfo(?) ORDER BY cid");
    info.bind(1, table);
    std::vector<Column> columns;
    while (info.step()) {
        if (info.columnInt(3) != 0 || namesRowid(info.columnText(0))) return std::nullopt;
        columns.push_back({info.columnText(0), affinityOf(info.columnText(1)), info.columnInt(2) != 0});
    }
    if (columns.empty() || columns.size() + 1 > static_cast<std::size_t>(sqlite3_limit(copy.handle(), SQLITE_LIMIT_FUNCTION_ARG, -1)))
        return std::nullopt;
    return columns;
}

// The key columns of `index`, or nothing when the proof cannot read it: an expression or the
// rowid among its keys, a collation other than BINARY, a descending key.
std::optional<std::vector<std::size_t>> keysOf(Connection& copy, const std::string& index) {
    Statement info = copy.prepare("SELECT cid, coll, \"desc\" FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno");
    info.bind(1, index);
    std::vector<std::size_t> keys;
    while (info.step()) {
        if (info.columnInt(0) < 0 || info.columnText(1) != "BINARY" || info.columnInt(2) != 0) return std::nullopt;
        keys.push_back(static_cast<std::size_t>(info.columnInt(0)));
    }
    if (keys.empty()) return std::nullopt;
    return keys;
}

std::vector<std::string> keyNames(const TableShape& shape, const ProvableIndex& index) {
    std::vector<std::string> names;
    for (const std::size_t key : index.keys) names.push_back(shape.columns[key].name);
    return names;
}

}  // namespace

CopyVerdict proveCopy(Connection& copy) {
    CopyVerdict verdict;
    std::vector<std::pair<std::string, std::string>> tables;
    {
        Statement list = copy.prepare("SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND rootpage > 0 ORDER BY rowid");
        while (list.step()) tables.emplace_back(list.columnText(0), list.columnText(1));
    }
    Passes passes;
    const Registered registered(copy, passes);
    for (const auto& [table, definition] : tables) {
        std::optional<std::vector<Column>> columns = columnsOf(copy, table, definition);
        if (!columns) {
            verdict.incomplete = true;
            continue;
        }
        TableShape shape{table, std::move(*columns), {}};
        {
            Statement list = copy.prepare("SELECT name, \"unique\", partial FROM pragma_index_list(?)");
            list.bind(1, table);
            while (list.step()) {
                std::optional<std::vector<std::size_t>> keys;
                if (list.columnInt(2) == 0) keys = keysOf(copy, list.columnText(0));
                if (keys && std::all_of(keys->begin(), keys->end(), [&](std::size_t k) { return k < shape.columns.size(); }))
                    shape.indexes.push_back({list.columnText(0), list.columnInt(1) != 0, std::move(*keys)});
                else
                    verdict.disagreeing.push_back({table, list.columnText(0)});
            }
        }
        std::vector<std::string> names;
        for (const ProvableIndex& index : shape.indexes)
            for (const std::size_t key : index.keys) shape.columns[key].keyed = true;
        for (const Column& column : shape.columns) names.push_back(column.name);

        RowsPass rows;
        rows.shape = &shape;
        rows.sums.assign(shape.indexes.size(), 0);
        rows.hashes.assign(shape.columns.size(), 0);
        passes.rows = &rows;
        copy.prepare(std::string("SELECT ") + kRowsFunction + "(rowid, " + quotedList(names) + ") FROM " +
                     quoteIdentifier(table) + " NOT INDEXED")
            .step();
        if (!rows.fault.empty()) {
            verdict.damage = rows.fault;
            return verdict;
        }
        std::vector<std::string> overfull;  // the indexes with more entries than rows
        for (std::size_t i = 0; i < shape.indexes.size(); ++i) {
            const ProvableIndex& index = shape.indexes[i];
            EntriesPass entries;
            entries.unique = index.unique;
            entries.previous.resize(index.keys.size());
            entries.types.resize(index.keys.size());
            passes.entries = &entries;
            // Only the index's own columns and the rowid: the scan reads the index and never the table.
            copy.prepare(std::string("SELECT ") + kEntriesFunction + "(" + quotedList(keyNames(shape, index)) +
                         ", rowid) FROM " + quoteIdentifier(table) + " INDEXED BY " + quoteIdentifier(index.name))
                .step();
            if (entries.entries > rows.rows) overfull.push_back(index.name);
            if (entries.outOfOrder || entries.entries != rows.rows || entries.sum != rows.sums[i])
                verdict.disagreeing.push_back({table, index.name});
        }
        // Two indexes with more entries than the table has rows: the source's table held rows that
        // its tree no longer led the copy to (a leaf's count of cells lowered, say), and rebuilding
        // the indexes would hide them. One alone is an index that kept rows its table let go.
        if (overfull.size() >= 2) {
            verdict.damage = "wrong # of entries in index " + overfull.front();
            return verdict;
        }
    }
    return verdict;
}

}  // namespace engine::detail
