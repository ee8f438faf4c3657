#include "salvage.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "engine_error.h"
#include "file_format.h"
#include "index_store.h"

namespace engine::detail {

namespace {

// Copies one table's readable rows, walking by rowid and stepping over what cannot be read.
// Each walk starts at a rowid, inclusive: seeking past rowid n visits the page that holds n, so
// a walk "after n" could never reach the first row behind a page that is lost.
// A damaged tree can hand back rows out of order, or the same row twice. Rows keep their rowid,
// and a rowid already copied is not copied again; the walk's start only ever moves forward, and
// a start counts as readable only when its first row lies at or after it, so that the walk
// always ends.
class RowCopier {
public:
    RowCopier(Connection& source, Connection& destination, const std::string& table,
              const std::vector<DeclaredColumn>& columns)
        : destination_(destination),
          table_(table),
          select_(
              source.prepare("SELECT rowid, * FROM " + quoteIdentifier(table) + " WHERE rowid >= ? ORDER BY rowid")),
          insert_(destination.prepare(insertKeepingRowid(table, columns))),
          valueCount_(columns.size() + 1) {}

    void copy() {
        std::optional<std::int64_t> from = std::numeric_limits<std::int64_t>::min();
        while (from) {
            std::string failure;
            if (copyFrom(*from, failure)) return;
            const std::optional<std::int64_t> resume = nextReadableStart(*from);
            recordProblem(destination_, table_,
                          "rowid " + lastBefore(*from) + " より後、" +
                              (resume ? "rowid " + std::to_string(*resume - 1) + " までの" : "最後までの") +
                              "行を読めませんでした (" + failure + ")");
            from = resume;
        }
    }

private:
    static std::string insertKeepingRowid(const std::string& table, const std::vector<DeclaredColumn>& columns) {
        std::string names = "rowid";
        std::string values = "?";
        for (const DeclaredColumn& column : columns) {
            names += ", " + quoteIdentifier(column.name);
            values += ", ?";
        }
        return "INSERT OR IGNORE INTO " + quoteIdentifier(table) + "(" + names + ") VALUES(" + values + ")";
    }

    static std::string lastBefore(std::int64_t from) {
        return from == std::numeric_limits<std::int64_t>::min() ? "(先頭)" : std::to_string(from - 1);
    }

    // Copies the rows from `from` on until the end (true) or a read failure (false); `from` is
    // then the first rowid not copied.
    bool copyFrom(std::int64_t& from, std::string& failure) {
        select_.reset();
        select_.bind(1, from);
        for (;;) {
            try {
                if (!select_.step()) return true;
            } catch (const EngineError& e) {
                if (!isReadFailure(e)) throw;
                failure = e.what();
                return false;
            }
            insert_.reset();
            for (std::size_t i = 0; i < valueCount_; ++i)
                insert_.bind(static_cast<int>(i) + 1, select_.column(static_cast<int>(i)));
            insert_.step();
            const std::int64_t rowid = select_.columnInt(0);
            if (rowid < from) continue;
            if (rowid == std::numeric_limits<std::int64_t>::max()) return true;
            from = rowid + 1;
        }
    }

    // Whether a walk starting at `start` can read its first row in order (or find the end).
    bool readableFrom(std::int64_t start) {
        select_.reset();
        select_.bind(1, start);
        try {
            return !select_.step() || select_.columnInt(0) >= start;
        } catch (const EngineError& e) {
            if (!isReadFailure(e)) throw;
            return false;
        }
    }

    // The smallest start past `from` from which rows can be read again: probe at growing
    // distances until a walk succeeds, then narrow down so no readable row is skipped.
    // Distances are unsigned: from the smallest rowid, the largest lies 2^64 - 1 away, and the
    // probes must reach it, or a table whose first page is lost would lose every row.
    std::optional<std::int64_t> nextReadableStart(std::int64_t from) {
        const std::uint64_t room =
            static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) - static_cast<std::uint64_t>(from);
        const auto rowidAt = [from](std::uint64_t distance) {
            return static_cast<std::int64_t>(static_cast<std::uint64_t>(from) + distance);
        };
        if (room == 0) return std::nullopt;
        std::uint64_t bad = 0;
        std::uint64_t good = 0;
        for (std::uint64_t probe = 1;; probe = probe > room / 2 ? room : probe * 2) {
            if (readableFrom(rowidAt(probe))) {
                good = probe;
                break;
            }
            bad = probe;
            if (probe == room) return std::nullopt;
        }
        while (good - bad > 1) {
            const std::uint64_t mid = bad + (good - bad) / 2;
            if (readableFrom(rowidAt(mid)))
                good = mid;
            else
                bad = mid;
        }
        return rowidAt(good);
    }

    Connection& destination_;
    std::string table_;
    Statement select_;
    Statement insert_;
    std::size_t valueCount_;
};

// What `read` returns from the damaged source; nothing, with the problem recorded as `what`
// could not be read, when the source fails it.
template <typename Read>
auto readOrRecord(Connection& destination, const std::string& table, const std::string& what, Read read)
    -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const EngineError& e) {
        if (!isReadFailure(e)) throw;
        recordProblem(destination, table, what + "を読めませんでした (" + e.what() + ")");
        return std::nullopt;
    }
}

bool copyTable(Connection& source, Connection& destination, const std::string& table) {
    const auto columns =
        readOrRecord(destination, table, "テーブルの定義", [&] { return declaredColumns(source, table); });
    if (!columns) return false;
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + "(";
    for (std::size_t i = 0; i < columns->size(); ++i)
        sql += (i == 0 ? "" : ", ") + quoteIdentifier((*columns)[i].name) + " " + (*columns)[i].type;
    destination.exec(sql + ")");
    RowCopier(source, destination, table, *columns).copy();
    return true;
}

void rebuildIndexes(Connection& source, Connection& destination, const std::string& table) {
    const auto indexes =
        readOrRecord(destination, table, "インデックスの一覧", [&] { return loadIndexes(source, table); });
    if (!indexes) return;
    for (const IndexRecord& index : *indexes) {
        try {
            appendIndex(destination, table, index);
        } catch (const EngineError& e) {
            recordProblem(destination, table,
                          "インデックス '" + index.name + "' を作り直せなかったため、除きました (" + e.what() + ")");
        }
    }
}

}  // namespace

bool isReadFailure(const EngineError& e) {
    return e.code() == ErrorCode::Damaged || e.code() == ErrorCode::NotOurFormat || e.code() == ErrorCode::DiskIo;
}

void recordProblem(Connection& conn, const std::string& table, const std::string& problem) {
    if (!hasBookkeeping(conn, kSalvageTable)) conn.exec(bookkeepingDefinition(kSalvageTable));
    Statement stmt = conn.prepare(std::string("INSERT INTO ") + kSalvageTable + " VALUES(?, ?)");
    stmt.bind(1, table).bind(2, problem);
    stmt.step();
}

void salvage(Connection& source, const std::string& destination) {
    std::vector<std::string> tables;
    try {
        tables = userTables(source);
    } catch (const EngineError& e) {
        if (!isReadFailure(e)) throw;
        throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), std::string("テーブルの一覧を読めません: ") + e.what()));
    }
    std::shared_ptr<Connection> copy = Connection::open(destination, OpenMode::Create);
    copy->exec("PRAGMA journal_mode=OFF");
    copy->exec("BEGIN");
    initialiseFile(*copy, FileKind::Data);
    storeVerifier(*copy, storedVerifier(source));
    recordProblem(*copy, "", "ファイルが壊れていたため、読める行とインデックスだけを取り出しました");
    for (const std::string& table : tables)
        if (copyTable(source, *copy, table)) rebuildIndexes(source, *copy, table);
    copy->exec("COMMIT");
}

void repairDisagreeingIndexes(Connection& copy) {
    Statement list = copy.prepare(std::string("SELECT DISTINCT table_name FROM ") + kIndexTable);
    std::vector<std::string> tables;
    while (list.step()) tables.push_back(list.columnText(0));
    for (const std::string& table : tables) {
        if (!tableExists(copy, table)) continue;
        const std::string quoted = quoteIdentifier(table);
        const std::int64_t rows = copy.queryInt("SELECT count(*) FROM " + quoted + " NOT INDEXED");
        for (const IndexRecord& index : loadIndexes(copy, table)) {
            // count(*) would be answered from the table whatever index is named; sum(1) walks the index.
            if (copy.queryInt("SELECT coalesce(sum(1), 0) FROM " + quoted + " INDEXED BY " +
                              quoteIdentifier(index.sqliteName)) ==
                rows)
                continue;
            deleteIndex(copy, table, index.name);
            try {
                appendIndex(copy, table, index);
                recordProblem(copy, table, "インデックス '" + index.name + "' が表と食い違っていたため、作り直しました");
            } catch (const EngineError& e) {
                recordProblem(copy, table,
                              "インデックス '" + index.name + "' が表と食い違い、作り直せなかったため、除きました (" +
                                  e.what() + ")");
            }
        }
    }
}

}  // namespace engine::detail
