#include "database/engine/compaction/compaction.h"

#include <filesystem>

#include <cstring>
#include <future>
#include <set>
#include <vector>

#include "database/engine/compaction/copy_proof.h"
#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/compaction/index_agreement.h"
#include "database/engine/store/index_store.h"
#include "database/engine/store/layout.h"
#include "database/engine/store/open_data_file.h"
#include "database/engine/store/password.h"
#include "platform/paths.h"
#include "database/engine/salvage/salvage.h"
#include "database/engine/store/sidecars.h"

namespace engine::detail {

namespace {

// The SQLite names of the source's indexes that `remade` says the caller deletes and makes again,
// with the tables and names they have in the bookkeeping. Only an index made by a statement of
// its own: one that a table's constraint makes (a UNIQUE column's) goes with its table and cannot
// be deleted, which the caller is left to find out.
struct LeftOut {
    std::set<std::string> sqliteNames;
    std::vector<std::pair<std::string, std::string>> indexes;  // table, index
};

LeftOut indexesLeftOut(Connection& source, const RemadeIndexes& remade) {
    LeftOut leftOut;
    if (!remade) return leftOut;
    Statement list = source.prepare(std::string("SELECT DISTINCT table_name FROM ") + kIndexTable);
    std::vector<std::string> tables;
    while (list.step()) tables.push_back(list.columnText(0));
    Statement own = source.prepare("SELECT sql IS NOT NULL FROM sqlite_schema WHERE type = 'index' AND name = ?");
    for (const std::string& table : tables) {
        if (!tableExists(source, table)) continue;
        for (const IndexRecord& index : loadIndexes(source, table)) {
            if (!remade(table, index.name, index.fields)) continue;
            own.reset();
            own.bind(1, index.sqliteName);
            if (!own.step() || own.columnInt(0) == 0) continue;
            leftOut.sqliteNames.insert(index.sqliteName);
            leftOut.indexes.emplace_back(table, index.name);
        }
    }
    return leftOut;
}

// While it lives, VACUUM INTO on `source` makes no index of `names` in its copy: SQLite asks the
// authorizer before it creates each index there, and one it is told to ignore is not created, so
// the copy of its table leaves its entries behind.
class IndexesNotCopied {
public:
    IndexesNotCopied(Connection& source, const std::set<std::string>& names) : source_(source) {
        if (!names.empty()) sqlite3_set_authorizer(source_.handle(), ignoreCreation, const_cast<std::set<std::string>*>(&names));
    }
    ~IndexesNotCopied() { sqlite3_set_authorizer(source_.handle(), nullptr, nullptr); }
    IndexesNotCopied(const IndexesNotCopied&) = delete;
    IndexesNotCopied& operator=(const IndexesNotCopied&) = delete;

private:
    static int ignoreCreation(void* names, int action, const char* index, const char*, const char* database,
                              const char*) {
        if (action != SQLITE_CREATE_INDEX || index == nullptr || database == nullptr || std::strcmp(database, "main") == 0)
            return SQLITE_OK;
        return static_cast<const std::set<std::string>*>(names)->count(index) != 0 ? SQLITE_IGNORE : SQLITE_OK;
    }
    Connection& source_;
};

// A copy of a sound source, with any index that does not match its table rebuilt, and none of the
// indexes the caller makes again. Only a copy that proves sound counts (copy_proof.h); anything
// else calls for salvage.
void copyWhole(Connection& source, const std::string& destination, const std::string& password,
               const RemadeIndexes& remade) {
    // SQLite's check passes a file whose bookkeeping is garbled, and its copy could not be read.
    requireBookkeeping(source, kIndexTable);
    // The password's verification, costly by design, runs beside the copy: a copy made under a
    // wrong one goes unused, and the file is not encrypted, so the copy reveals nothing that the
    // file itself did not.
    std::future<bool> passwordChecked =
        std::async(std::launch::async, [verifier = storedVerifier(source), password] {
            return verifier.empty() || verifyPassword(verifier, password);
        });
    const LeftOut leftOut = indexesLeftOut(source, remade);
    // The copy is flushed whole before it replaces anything, and a copy left by a crash is made
    // afresh, so neither VACUUM INTO (which flushes as its source connection says) nor the
    // commits below wait for the disk.
    source.exec("PRAGMA synchronous=OFF");
    {
        const IndexesNotCopied notCopied(source, leftOut.sqliteNames);
        Statement vacuum = source.prepare("VACUUM INTO ?");
        vacuum.bind(1, destination);
        vacuum.step();
    }
    std::shared_ptr<Connection> copy = Connection::open(destination, OpenMode::ReadWrite);
    copy->exec("PRAGMA synchronous=OFF");
    // The problems of an earlier salvage describe that compaction, not this one; the copy's
    // tables and indexes have new root pages; an index left out is gone with its bookkeeping.
    copy->exec("BEGIN");
    copy->exec(std::string("DROP TABLE IF EXISTS ") + kSalvageTable);
    for (const auto& [table, index] : leftOut.indexes) forgetIndex(*copy, table, index);
    refreshLayout(*copy);
    copy->exec("COMMIT");
    // The copy was written a moment ago: it is read from memory, not from the disk.
    const CopyVerdict verdict = proveCopy(*copy);
    if (!verdict.damage.empty()) throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), verdict.damage));
    if (!repairDisagreeingIndexes(*copy, verdict.disagreeing))
        throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), describe::unlistedIndexDisagrees()));
    if (verdict.incomplete) {
        const std::string full = copy->integrityCheck();
        if (full != "ok") throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), full));
    }
    if (!passwordChecked.get()) throw EngineError(ErrorCode::WrongPassword, describe::wrongPassword(source.path()));
}

// The source, opened only to be read, a data file of ours (its password is verified beside the
// copy). A page whose cells do not fit in it is refused as damaged when it is loaded, rather than
// read as whatever rows its bytes happen to make.
std::shared_ptr<Connection> openSource(const std::string& source) {
    requireRegularFile(source);
    std::shared_ptr<Connection> conn = Connection::open(source, OpenMode::ReadOnly);
    checkFile(*conn, FileKind::Data);
    conn->exec("PRAGMA cell_size_check=ON");
    return conn;
}

// Whether the source passes SQLite's full check: a copy that outgrows SQLite's limits may come
// from a damaged page that claims a vast size.
bool sourceIsSound(const std::string& source) {
    try {
        std::shared_ptr<Connection> conn = Connection::open(source, OpenMode::ReadOnly);
        conn->exec("PRAGMA cell_size_check=ON");
        return conn->integrityCheck() == "ok";
    } catch (const EngineError& e) {
        if (!showsDamage(e)) throw;
        return false;
    }
}

bool isDamage(const EngineError& e, const std::string& source) {
    return showsDamage(e) || (e.code() == ErrorCode::LimitReached && !sourceIsSound(source));
}

// Refuses at once a copy that cannot fit, rather than after the minutes it takes to fill the
// disk. A compacted copy is smaller than its source by the free pages and by what packing the
// pages afresh saves, which can be much; it is taken to need at least half of what the source's
// pages in use hold, so that no copy that would fit is refused.
void requireRoomForCopy(Connection& source, const std::string& destination, const std::string& password) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(platform::toPath(source.path()), ec);
    if (ec) return;
    std::uintmax_t unused = 0;
    try {
        unused = static_cast<std::uintmax_t>(source.queryInt("PRAGMA freelist_count") *
                                             source.queryInt("PRAGMA page_size"));
    } catch (const EngineError& e) {
        if (!showsDamage(e)) throw;
    }
    const std::uintmax_t needed = (size > unused ? size - unused : 0) / 2;
    const std::filesystem::space_info space =
        std::filesystem::space(platform::toPath(destination).parent_path(), ec);
    if (ec || space.available >= needed) return;
    // A wrong password is what to say first, as when nothing but it was checked before the copy.
    checkPassword(source, password);
    throw EngineError(ErrorCode::DiskFull, describe::noRoomFor(destination, space.available, needed, true));
}

// Never leaves a half-written copy that a later step could take for a good one, nor a journal
// beside its name that SQLite would apply to the next file made there.
void removeCopy(const std::string& destination) {
    try {
        deleteDataFile(destination);
    } catch (const EngineError&) {
        // The next repair removes what is left before it makes its copy, or fails saying why.
    }
}

}  // namespace

void compact(const std::string& source, const std::string& destination, const std::string& password,
             const RemadeIndexes& remade) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(platform::toPath(destination), ec)))
        throw EngineError(ErrorCode::DestinationExists, describe::destinationExists(destination));
    requireRegularFile(source);
    const HeaderVerdict header = readHeader(source, FileKind::Data);
    if (header == HeaderVerdict::Foreign) throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(source));
    try {
        const std::shared_ptr<Connection> conn = openSource(source);
        requireRoomForCopy(*conn, destination, password);
        copyWhole(*conn, destination, password, remade);
        return;
    } catch (const EngineError& e) {
        removeCopy(destination);
        if (!isDamage(e, source)) throw;
    } catch (...) {
        removeCopy(destination);
        throw;
    }
    // Salvage reads through connections of its own: after a failed VACUUM INTO, SQLite may read
    // the damaged pages it still holds as rows, and not the same rows from one run to the next.
    try {
        salvage(source, destination, password, header == HeaderVerdict::Ours);
    } catch (...) {
        removeCopy(destination);
        throw;
    }
}

}  // namespace engine::detail
