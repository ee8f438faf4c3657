#include "compaction.h"

#include <filesystem>
#include <future>

#include "copy_proof.h"
#include "engine_error.h"
#include "file_format.h"
#include "index_agreement.h"
#include "layout.h"
#include "open_data_file.h"
#include "password.h"
#include "paths.h"
#include "salvage.h"
#include "sidecars.h"

namespace engine::detail {

namespace {

// A copy of a sound source, with any index that does not match its table rebuilt. Only a copy
// that proves sound counts (copy_proof.h); anything else calls for salvage.
void copyWhole(Connection& source, const std::string& destination, const std::string& password) {
    // SQLite's check passes a file whose bookkeeping is garbled, and its copy could not be read.
    requireBookkeeping(source, kIndexTable);
    // The password's verification, costly by design, runs beside the copy: a copy made under a
    // wrong one goes unused, and the file is not encrypted, so the copy reveals nothing that the
    // file itself did not.
    std::future<bool> passwordChecked =
        std::async(std::launch::async, [verifier = storedVerifier(source), password] {
            return verifier.empty() || verifyPassword(verifier, password);
        });
    // The copy is flushed whole before it replaces anything, and a copy left by a crash is made
    // afresh, so neither VACUUM INTO (which flushes as its source connection says) nor the
    // commits below wait for the disk.
    source.exec("PRAGMA synchronous=OFF");
    Statement vacuum = source.prepare("VACUUM INTO ?");
    vacuum.bind(1, destination);
    vacuum.step();
    std::shared_ptr<Connection> copy = Connection::open(destination, OpenMode::ReadWrite);
    copy->exec("PRAGMA synchronous=OFF");
    // The problems of an earlier salvage describe that compaction, not this one; the copy's
    // tables and indexes have new root pages.
    copy->exec("BEGIN");
    copy->exec(std::string("DROP TABLE IF EXISTS ") + kSalvageTable);
    refreshLayout(*copy);
    copy->exec("COMMIT");
    // The copy was written a moment ago: it is read from memory, not from the disk.
    const CopyVerdict verdict = proveCopy(*copy);
    if (!verdict.damage.empty()) throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), verdict.damage));
    if (!repairDisagreeingIndexes(*copy, verdict.disagreeing))
        throw EngineError(ErrorCode::Damaged, describe::damaged(source.path(), "管理用の表にないインデックスが表と食い違っています"));
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
        DeleteDataFile(destination);
    } catch (const EngineError&) {
        // The next repair removes what is left before it makes its copy, or fails saying why.
    }
}

}  // namespace

void compact(const std::string& source, const std::string& destination, const std::string& password) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(platform::toPath(destination), ec)))
        throw EngineError(ErrorCode::DestinationExists, describe::destinationExists(destination));
    requireRegularFile(source);
    const HeaderVerdict header = readHeader(source, FileKind::Data);
    if (header == HeaderVerdict::Foreign) throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(source));
    try {
        const std::shared_ptr<Connection> conn = openSource(source);
        requireRoomForCopy(*conn, destination, password);
        copyWhole(*conn, destination, password);
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
