// DBEngine::RecoverDatabase: a file brought to its last committed state in place, by SQLite's own
// recovery, before anything reads it as a source.
#include "database/engine/db_engine.h"
#include "database/engine/store/engine_error.h"
#include "database/engine/store/open_data_file.h"
#include "database/engine/store/password.h"
#include "database/engine/store/sidecars.h"

namespace engine {

void DBEngine::RecoverDatabase(const std::string& path, const std::string& connect) {
    requireUsableSidecars(path);
    if (!detail::hasCrashState(path)) return;
    // A read-write connection rolls a hot journal back at its first read, as any open by the host
    // would, whatever the file holds.
    const std::shared_ptr<detail::Connection> conn = detail::Connection::open(path, detail::OpenMode::ReadWrite);
    // Until the file proves ours and the password checks out, closing must not write its log into it.
    sqlite3_db_config(conn->handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    try {
        detail::checkDataFile(*conn, detail::passwordFromConnect(connect));
    } catch (const EngineError& e) {
        // A damaged file has had its hot journal rolled back by the check's first read; it is for
        // salvage to read now, and a log that stays beside it keeps it from being replaced.
        if (showsDamage(e)) return;
        throw;
    }
    // Leaving WAL mode writes every committed frame into the file, removes the log and its index
    // and marks the file for a rollback journal again, each step safe against a crash. It needs the
    // file to itself: while another connection holds it in WAL mode it fails as FileLocked, and
    // the file and its log stay as they are.
    conn->exec("PRAGMA journal_mode=DELETE");
}

}  // namespace engine
