#include "database/engine/salvage/recovery_stream.h"

#include <sqlite3recover.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/index_store.h"

namespace engine::detail {

namespace {

enum class StatementKind { CreateTable, CreateIndex, Insert, PageSize, Other };

bool startsWith(const char* sql, const char* word) {
    for (; *word != '\0'; ++word, ++sql)
        if (std::toupper(static_cast<unsigned char>(*sql)) != *word) return false;
    return true;
}

StatementKind kindOf(const char* sql) {
    while (std::isspace(static_cast<unsigned char>(*sql))) ++sql;
    if (startsWith(sql, "CREATE TABLE")) return StatementKind::CreateTable;
    if (startsWith(sql, "CREATE INDEX") || startsWith(sql, "CREATE UNIQUE INDEX")) return StatementKind::CreateIndex;
    if (startsWith(sql, "INSERT")) return StatementKind::Insert;
    if (startsWith(sql, "PRAGMA PAGE_SIZE = '")) return StatementKind::PageSize;
    return StatementKind::Other;
}

bool isBookkeeping(const std::string& name) {
    return std::find(std::begin(kDataBookkeeping), std::end(kDataBookkeeping), name) != std::end(kDataBookkeeping);
}

// Receives the recovery's statements one by one. Whatever the damaged file says runs only in the
// definition reader; the destination gets plain tables and the rows.
class Writer {
public:
    Writer(Connection& destination, DefinitionReader& definitions)
        : destination_(destination), definitions_(definitions) {}

    static int onStatement(void* context, const char* sql) {
        // The recovery hands over no text for a statement it could not put together.
        if (sql == nullptr) return SQLITE_OK;
        auto* writer = static_cast<Writer*>(context);
        try {
            writer->take(sql);
            return SQLITE_OK;
        } catch (const EngineError& e) {
            writer->failure_ = e;
            return SQLITE_ABORT;
        }
    }

    const std::optional<EngineError>& failure() const { return failure_; }
    Recovered& recovered() { return recovered_; }

private:
    void take(const char* sql) {
        switch (kindOf(sql)) {
        case StatementKind::CreateTable: createTable(sql); break;
        case StatementKind::CreateIndex: definitions_.define(sql); break;
        case StatementKind::Insert: insert(sql); break;
        case StatementKind::PageSize: recovered_.pageSize = std::atoi(std::strchr(sql, '\'') + 1); break;
        case StatementKind::Other: break;
        }
    }

    void createTable(const char* sql) {
        const std::optional<std::string> name = definitions_.define(sql);
        if (!name) return;
        const std::vector<DeclaredColumn> columns = definitions_.columnsOf(*name);
        if (*name == kLostTable) {
            destination_.exec(plainDefinition(*name, columns));
        } else if (isBookkeeping(*name)) {
            // Ours already stand in the destination; one whose definition was garbled is kept
            // aside, for its rows to be read by position.
            if (sql != bookkeepingDefinition(*name))
                destination_.exec(plainDefinition(recoveredBookkeepingName(*name), columns));
        } else if (isReservedName(*name)) {
            return;  // an earlier salvage's report, or SQLite's own: not carried over
        } else {
            destination_.exec(plainDefinition(*name, columns));
        }
        recovered_.tables.push_back(*name);
    }

    void insert(const char* sql) {
        std::string statement = sql;
        // A garbled bookkeeping table's rows go to the table it was kept aside as.
        for (const char* name : kDataBookkeeping) {
            const std::string target = std::string("INSERT OR IGNORE INTO '") + name + "'(";
            if (statement.rfind(target, 0) == 0 && schemaHasTable(destination_, recoveredBookkeepingName(name)))
                statement = "INSERT OR IGNORE INTO " + quoteIdentifier(recoveredBookkeepingName(name)) +
                            " VALUES(" + valuesOf(statement, target.size()) + ")";
        }
        const int rc = sqlite3_exec(destination_.handle(), statement.c_str(), nullptr, nullptr, nullptr);
        // A row of a table that was not carried over, or one the table's definition refuses, is
        // left behind; only a failure to write the destination stops the recovery.
        switch (rc & 0xff) {
        case SQLITE_OK:
        case SQLITE_ERROR:
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
        case SQLITE_TOOBIG:
        case SQLITE_RANGE: return;
        default: destination_.fail(rc);
        }
    }

    // The values of "INSERT ... INTO 'x'(_rowid_, 'a', ...) VALUES (...)": the rowid goes too,
    // since the table kept aside has the columns of the garbled definition and no more.
    static std::string valuesOf(const std::string& statement, std::size_t from) {
        const std::size_t values = statement.find(") VALUES (", from);
        if (values == std::string::npos) return "NULL";
        const std::string all = statement.substr(values + 10, statement.size() - values - 11);
        const bool withRowid = statement.compare(from, 7, "_rowid_") == 0;
        if (!withRowid) return all;
        const std::size_t comma = all.find(", ");
        return comma == std::string::npos ? all : all.substr(comma + 2);
    }

    Connection& destination_;
    DefinitionReader& definitions_;
    Recovered recovered_;
    std::optional<EngineError> failure_;
};

struct RecoverFinisher {
    void operator()(sqlite3_recover* recover) const { sqlite3_recover_finish(recover); }
};

}  // namespace

std::string recoveredBookkeepingName(const std::string& name) { return "_qn_recovered_" + name.substr(4); }

Recovered recoverInto(Connection& source, Connection& destination, DefinitionReader& definitions) {
    Writer writer(destination, definitions);
    std::unique_ptr<sqlite3_recover, RecoverFinisher> recover(
        sqlite3_recover_init_sql(source.handle(), "main", Writer::onStatement, &writer));
    if (!recover) throw EngineError(ErrorCode::Unexpected, describe::unexpected("sqlite3_recover_init_sql"));
    std::string lostTable = kLostTable;
    int freelist = 0;
    int rowids = 1;
    sqlite3_recover_config(recover.get(), SQLITE_RECOVER_LOST_AND_FOUND, lostTable.data());
    sqlite3_recover_config(recover.get(), SQLITE_RECOVER_FREELIST_CORRUPT, &freelist);
    sqlite3_recover_config(recover.get(), SQLITE_RECOVER_ROWIDS, &rowids);
    const int rc = sqlite3_recover_run(recover.get());
    if (writer.failure()) throw *writer.failure();
    Recovered recovered = std::move(writer.recovered());
    if (rc != SQLITE_OK) {
        // Damage only means less is recovered; a file the system will not read is not salvaged by
        // leaving out whatever lay behind the read it refused.
        if ((rc & 0xff) == SQLITE_IOERR || (rc & 0xff) == SQLITE_FULL) source.fail(rc);
        const char* message = sqlite3_recover_errmsg(recover.get());
        recovered.stoppedBecause = message != nullptr ? message : sqlite3_errstr(rc);
        if ((rc & 0xff) == SQLITE_NOMEM) throw EngineError(ErrorCode::Unexpected, describe::unexpected(recovered.stoppedBecause));
    }
    return recovered;
}

}  // namespace engine::detail
