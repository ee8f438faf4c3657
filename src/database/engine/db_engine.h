#pragma once

#include <functional>
#include <string>

#include "database.h"
#include "workspace.h"

namespace engine {

// The one engine object of the process.
class DBEngine {
public:
    static DBEngine& instance();

    const std::string& SystemDB() const { return systemDB_; }
    void setSystemDB(const std::string& path) { systemDB_ = path; }

    // Logs on as `user` against the workgroup file named by SystemDB.
    WorkspacePtr CreateWorkspace(const std::string& name, const std::string& user, const std::string& password);

    // Writes a compacted copy of `source` to `destination`, which must not exist.
    // The password comes in `sourceLocale` as ";PWD=<password>;". The source is only read.
    void CompactDatabase(const std::string& source, const std::string& destination,
                         const std::string& destinationLocale = "", int options = 0,
                         const std::string& sourceLocale = "");

    // Brings `path` to its last committed state in place, as SQLite's own recovery defines it:
    // a hot rollback journal is rolled back; a file in WAL mode gets its committed transactions
    // written into it, loses its -wal and -shm and goes back to the engine's journal mode
    // (DELETE). A file with nothing beside it and not in WAL mode is not opened. The password
    // comes in `connect` as ";PWD=<password>;" and must check out before the journal mode changes.
    // Throws FileLocked while another connection holds the file in WAL mode, DiskIo when a file
    // beside it cannot be read, written or removed.
    void RecoverDatabase(const std::string& path, const std::string& connect);

    // Called now and then, on the thread that set it, while a long operation runs (a compaction,
    // an index build): window mode keeps its window painted. Empty: nothing is called.
    void setKeepAlive(std::function<void()> keepAlive);

    // For the tools and tests: new files of our format.
    DatabasePtr CreateDatabase(const std::string& path, const std::string& password);
    // Creates the workgroup file when missing, then adds or replaces the account.
    void CreateAccount(const std::string& workgroupPath, const std::string& user, const std::string& password);

private:
    DBEngine() = default;
    std::string systemDB_;
};

}  // namespace engine
