#pragma once

#include <functional>
#include <string>

#include "database/engine/database.h"
#include "database/engine/store/remade_indexes.h"
#include "database/engine/workspace.h"

namespace engine {

// The one engine object of the process: the entry to the engine's files. Every failure of every
// call of the engine (this class, the objects it leads to, the functions of sidecars.h and
// writer_exclusion.h) is an EngineError (engine_error.h), with a number and a Japanese
// description that names the file concerned; nothing else is thrown and SQLite never shows.
class DBEngine {
public:
    static DBEngine& instance();

    // The workgroup file that CreateWorkspace logs on against.
    const std::string& SystemDB() const { return systemDB_; }
    void setSystemDB(const std::string& path) { systemDB_ = path; }

    // Logs on as `user` against the workgroup file named by SystemDB. Throws WorkgroupUnavailable
    // when none is set, it is missing or it is no workgroup file, InvalidAccount when the account
    // is not there or `password` is not its password. Reads the workgroup file only.
    WorkspacePtr CreateWorkspace(const std::string& name, const std::string& user, const std::string& password);

    // Writes a compacted copy of the data file `source` to `destination`, which must not exist;
    // the password comes in `sourceLocale` as ";PWD=<password>;". The source is only read, and
    // read from its last committed state (RecoverDatabase first, for a file with crash state).
    // The copy carries the source's password verifier. A sound source is copied whole, any index
    // that disagrees with its table rebuilt; a damaged one is salvaged: the copy then holds what
    // could be read, and Database::SalvageProblems and RowLosses say what could not. Throws
    // DestinationExists, FileNotFound, NotOurFormat, WrongPassword, FileLocked, DiskIo (a read or
    // write the system refused, after trying it again; never taken for damage), DiskFull (the
    // destination's disk, also before any write when it is sure not to hold the copy), Damaged
    // (nothing could be salvaged). Whatever it throws, it leaves no destination behind. An index
    // that `remade` names is left out of a copy of a sound source, with its bookkeeping, as if
    // deleted: the caller makes it again.
    void CompactDatabase(const std::string& source, const std::string& destination,
                         const std::string& destinationLocale = "", int options = 0,
                         const std::string& sourceLocale = "", const RemadeIndexes& remade = {});

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

    // For the tools and tests: a new data file at `path`, which must not exist (DestinationExists),
    // protected by `password` when it is not empty.
    DatabasePtr CreateDatabase(const std::string& path, const std::string& password);
    // Creates the workgroup file when missing, then adds or replaces the account.
    void CreateAccount(const std::string& workgroupPath, const std::string& user, const std::string& password);

private:
    DBEngine() = default;
    std::string systemDB_;
};

}  // namespace engine
