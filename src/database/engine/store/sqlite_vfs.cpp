#include "database/engine/store/sqlite_vfs.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include <sqlite3.h>

#include "platform/sqlite_files.h"
#include "platform/system_error.h"
#include "platform/transient_failures.h"

namespace engine::detail {

namespace {

// Kept as plain bytes: a thread_local with a destructor crashes the threads of a MinGW build when
// they end.
struct RememberedFailure {
    bool present;
    IoFailure::Operation operation;
    std::array<char, 4096> file;
    std::int64_t offset;
    int error;
};
thread_local RememberedFailure lastFailure{};

// A file that SQLite makes afresh (a compacted or salvaged copy, a new data file) is written front
// to back, page after page: its writes reach the system in runs of up to this many bytes, as one
// call per page costs the system more than the copying of the page does. Nothing relies on the
// order of writes between two flushes, and a run goes to the system before anything could see
// the file without it: a read of its bytes, a flush, a change of its size, a lock let go, a file
// control (SQLite sends SQLITE_FCNTL_SYNC at each commit, even when it does not flush). SQLite's
// Unix layer writes less than 128 KiB in one call.
constexpr std::size_t kRunBytes = 64 * 1024;

struct WriteRun {
    sqlite3_int64 start = 0;
    std::vector<char> bytes;
};

// A database file read front to back (a copy proven or swept, a table scanned to make an index) is
// read in runs of that many bytes too: a read that goes on where the one before ended reads on
// ahead, and what it read serves the reads after it. What it holds is the file as it was while
// the same lock was held: it is dropped at each change of the file's locks (in rollback-journal
// mode no one else writes a file while a lock on it is held), at each write or change of size,
// and for good once the file goes into WAL mode.
struct ReadRun {
    sqlite3_int64 start = 0;
    // Not a vector, which would zero each run before the read writes over it, a second pass over
    // every byte read.
    std::unique_ptr<char[]> bytes{new char[kRunBytes]};
    sqlite3_int64 held = 0;      // how many of them hold the file's bytes
    sqlite3_int64 lastEnd = -1;  // where the last read ended
};

// A file of the layer: the file of the system's VFS follows this struct in the same allocation.
struct LayerFile {
    sqlite3_file base;
    sqlite3_file* real;
    const char* name;  // SQLite keeps it valid until the file is closed
    WriteRun* run;     // for a file SQLite makes afresh, while it is not shared in WAL mode
    ReadRun* ahead;    // for a database file, while it is not shared in WAL mode
};

sqlite3_vfs* systemVfs() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(platform::sqliteVfsName());
    return vfs;
}

LayerFile& layer(sqlite3_file* file) { return *reinterpret_cast<LayerFile*>(file); }
const sqlite3_io_methods& real(const LayerFile& f) { return *f.real->pMethods; }

// The system's code for the call on `f` that just failed: the one SQLite kept, or, where it keeps
// none (its Unix side forgets it for a full disk), the thread's own.
int systemErrorOf(LayerFile& f) {
    int error = 0;
    if (real(f).xFileControl(f.real, SQLITE_FCNTL_LAST_ERRNO, &error) != SQLITE_OK || error == 0)
        error = platform::lastSystemError();
    return error;
}

void remember(IoFailure::Operation operation, const char* file, std::int64_t offset, int error) {
    lastFailure.present = true;
    lastFailure.operation = operation;
    std::snprintf(lastFailure.file.data(), lastFailure.file.size(), "%s", file != nullptr ? file : "");
    lastFailure.offset = offset;
    lastFailure.error = error;
}

int fail(LayerFile& f, IoFailure::Operation operation, std::int64_t offset, int error, int rc) {
    remember(operation, f.name, offset, error);
    return rc;
}

// A read that came up short is the end of the file only where the file ends.
bool pastTheEnd(LayerFile& f, int amount, sqlite3_int64 offset) {
    sqlite3_int64 size = 0;
    return real(f).xFileSize(f.real, &size) == SQLITE_OK && offset + amount > size;
}

// The run's bytes, as one write the system is asked for: tried again as any other.
int writeThrough(LayerFile& f, const void* buffer, int amount, sqlite3_int64 offset) {
    int rc = SQLITE_OK;
    int error = 0;
    platform::Retries retries(platform::Retries::For::Transfer);
    do {
        rc = real(f).xWrite(f.real, buffer, amount, offset);
        if (rc == SQLITE_OK) return rc;
        if ((rc & 0xff) != SQLITE_IOERR && rc != SQLITE_FULL) return rc;
        error = systemErrorOf(f);
    } while (retries.again());
    return fail(f, IoFailure::Operation::Write, offset, error, rc);
}

int flushRun(LayerFile& f) {
    if (f.run == nullptr || f.run->bytes.empty()) return SQLITE_OK;
    const int rc = writeThrough(f, f.run->bytes.data(), static_cast<int>(f.run->bytes.size()), f.run->start);
    f.run->bytes.clear();
    return rc;
}

bool inRun(const LayerFile& f, sqlite3_int64 offset, int amount) {
    return f.run != nullptr && !f.run->bytes.empty() && offset < f.run->start + static_cast<sqlite3_int64>(f.run->bytes.size()) &&
           offset + amount > f.run->start;
}

void dropReadRun(LayerFile& f) {
    if (f.ahead == nullptr) return;
    f.ahead->held = 0;
    f.ahead->lastEnd = -1;
}

int layerClose(sqlite3_file* file) {
    LayerFile& f = layer(file);
    const int flushed = flushRun(f);
    delete f.run;
    f.run = nullptr;
    delete f.ahead;
    f.ahead = nullptr;
    const int rc = real(f).xClose(f.real);
    return flushed != SQLITE_OK ? flushed : rc;
}

int readThrough(LayerFile& f, void* buffer, int amount, sqlite3_int64 offset) {
    int error = 0;
    platform::Retries retries(platform::Retries::For::Transfer);
    do {
        const int rc = real(f).xRead(f.real, buffer, amount, offset);
        if (rc == SQLITE_OK) return rc;
        // A read that came up short before the end of the file has no system error to tell.
        const bool shortRead = rc == SQLITE_IOERR_SHORT_READ;
        if (shortRead && pastTheEnd(f, amount, offset)) return rc;
        if ((rc & 0xff) != SQLITE_IOERR) return rc;
        error = shortRead ? 0 : systemErrorOf(f);
    } while (retries.again());
    // A plain read error: SQLite takes some refusals (EIO among them) for a damaged file otherwise,
    // and a page it cannot read is no evidence of damage.
    return fail(f, IoFailure::Operation::Read, offset, error, SQLITE_IOERR_READ);
}

// Reads a run from `offset` into f.ahead, as far as the file goes and if that is at least
// `amount`. Only the page asked for must be read: a run that fails is not tried again and leaves
// nothing remembered, and the page is then read on its own. Writes still waiting in the write run
// go to the file first where the run would cover them: it would hold their old bytes otherwise,
// and hand them out after they were written.
int readRun(LayerFile& f, sqlite3_int64 offset, int amount) {
    ReadRun& ahead = *f.ahead;
    ahead.held = 0;
    sqlite3_int64 size = 0;
    if (real(f).xFileSize(f.real, &size) != SQLITE_OK) return SQLITE_OK;
    const sqlite3_int64 length = std::min<sqlite3_int64>(static_cast<sqlite3_int64>(kRunBytes), size - offset);
    if (length < amount) return SQLITE_OK;
    if (inRun(f, offset, static_cast<int>(length)))
        if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    if (real(f).xRead(f.real, ahead.bytes.get(), static_cast<int>(length), offset) != SQLITE_OK) return SQLITE_OK;
    ahead.start = offset;
    ahead.held = length;
    return SQLITE_OK;
}

int layerRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    LayerFile& f = layer(file);
    if (inRun(f, offset, amount))
        if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    ReadRun* ahead = f.ahead;
    if (ahead == nullptr) return readThrough(f, buffer, amount, offset);
    const bool onward = offset == ahead->lastEnd;
    ahead->lastEnd = offset + amount;
    const auto held = [&] {
        return offset >= ahead->start && offset + amount <= ahead->start + ahead->held;
    };
    if (!held() && onward)
        if (const int rc = readRun(f, offset, amount); rc != SQLITE_OK) return rc;
    if (!held()) return readThrough(f, buffer, amount, offset);
    std::memcpy(buffer, ahead->bytes.get() + (offset - ahead->start), static_cast<std::size_t>(amount));
    return SQLITE_OK;
}

int layerWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    LayerFile& f = layer(file);
    dropReadRun(f);
    if (f.run == nullptr) return writeThrough(f, buffer, amount, offset);
    std::vector<char>& bytes = f.run->bytes;
    const sqlite3_int64 end = f.run->start + static_cast<sqlite3_int64>(bytes.size());
    if (!bytes.empty() && offset >= f.run->start && offset + amount <= end) {
        std::memcpy(bytes.data() + (offset - f.run->start), buffer, static_cast<std::size_t>(amount));
        return SQLITE_OK;
    }
    if (!bytes.empty() && (offset != end || bytes.size() + static_cast<std::size_t>(amount) > kRunBytes))
        if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    if (bytes.empty()) {
        if (static_cast<std::size_t>(amount) >= kRunBytes) return writeThrough(f, buffer, amount, offset);
        f.run->start = offset;
        bytes.reserve(kRunBytes);
    }
    const auto* from = static_cast<const char*>(buffer);
    bytes.insert(bytes.end(), from, from + amount);
    return SQLITE_OK;
}

// A flush that failed is never tried again: the system may have dropped the pages it could not write.
int layerSync(sqlite3_file* file, int flags) {
    LayerFile& f = layer(file);
    if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    const int rc = real(f).xSync(f.real, flags);
    return rc == SQLITE_OK ? rc : fail(f, IoFailure::Operation::Flush, -1, systemErrorOf(f), rc);
}

int layerTruncate(sqlite3_file* file, sqlite3_int64 size) {
    LayerFile& f = layer(file);
    dropReadRun(f);
    if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    const int rc = real(f).xTruncate(f.real, size);
    return rc == SQLITE_OK ? rc : fail(f, IoFailure::Operation::Truncate, size, systemErrorOf(f), rc);
}

int layerFileSize(sqlite3_file* file, sqlite3_int64* size) {
    LayerFile& f = layer(file);
    if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    const int rc = real(f).xFileSize(f.real, size);
    return rc == SQLITE_OK ? rc : fail(f, IoFailure::Operation::Size, -1, systemErrorOf(f), rc);
}

int layerLock(sqlite3_file* file, int level) {
    dropReadRun(layer(file));
    return real(layer(file)).xLock(layer(file).real, level);
}
int layerUnlock(sqlite3_file* file, int level) {
    dropReadRun(layer(file));
    const int flushed = flushRun(layer(file));
    const int rc = real(layer(file)).xUnlock(layer(file).real, level);
    return flushed != SQLITE_OK ? flushed : rc;
}
int layerCheckReservedLock(sqlite3_file* file, int* reserved) {
    return real(layer(file)).xCheckReservedLock(layer(file).real, reserved);
}
int layerFileControl(sqlite3_file* file, int op, void* arg) {
    if (const int rc = flushRun(layer(file)); rc != SQLITE_OK) return rc;
    return real(layer(file)).xFileControl(layer(file).real, op, arg);
}
int layerSectorSize(sqlite3_file* file) { return real(layer(file)).xSectorSize(layer(file).real); }
int layerDeviceCharacteristics(sqlite3_file* file) {
    return real(layer(file)).xDeviceCharacteristics(layer(file).real);
}
// Other processes read a file in WAL mode as soon as its index says they may: its writes go to the
// system one by one from then on.
int layerShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory) {
    LayerFile& f = layer(file);
    if (const int rc = flushRun(f); rc != SQLITE_OK) return rc;
    delete f.run;
    f.run = nullptr;
    delete f.ahead;
    f.ahead = nullptr;
    return real(f).xShmMap(f.real, region, size, extend, memory);
}
int layerShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return real(layer(file)).xShmLock(layer(file).real, offset, n, flags);
}
void layerShmBarrier(sqlite3_file* file) { real(layer(file)).xShmBarrier(layer(file).real); }
int layerShmUnmap(sqlite3_file* file, int deleteFlag) {
    return real(layer(file)).xShmUnmap(layer(file).real, deleteFlag);
}
int layerFetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** pointer) {
    if (const int rc = flushRun(layer(file)); rc != SQLITE_OK) return rc;
    return real(layer(file)).xFetch(layer(file).real, offset, amount, pointer);
}
int layerUnfetch(sqlite3_file* file, sqlite3_int64 offset, void* pointer) {
    return real(layer(file)).xUnfetch(layer(file).real, offset, pointer);
}

// The layer's methods offer what the system's file offers: write-ahead logs need version 2,
// memory maps version 3.
const sqlite3_io_methods* methodsFor(int version) {
    static const auto make = [](int v) {
        sqlite3_io_methods m{};
        m.iVersion = v;
        m.xClose = layerClose;
        m.xRead = layerRead;
        m.xWrite = layerWrite;
        m.xTruncate = layerTruncate;
        m.xSync = layerSync;
        m.xFileSize = layerFileSize;
        m.xLock = layerLock;
        m.xUnlock = layerUnlock;
        m.xCheckReservedLock = layerCheckReservedLock;
        m.xFileControl = layerFileControl;
        m.xSectorSize = layerSectorSize;
        m.xDeviceCharacteristics = layerDeviceCharacteristics;
        if (v >= 2) {
            m.xShmMap = layerShmMap;
            m.xShmLock = layerShmLock;
            m.xShmBarrier = layerShmBarrier;
            m.xShmUnmap = layerShmUnmap;
        }
        if (v >= 3) {
            m.xFetch = layerFetch;
            m.xUnfetch = layerUnfetch;
        }
        return m;
    };
    static const sqlite3_io_methods kMethods[] = {make(1), make(2), make(3)};
    return &kMethods[std::min(std::max(version, 1), 3) - 1];
}

// The system's code for a failure that left no file to ask.
int systemError() {
    std::array<char, 256> message{};
    return systemVfs()->xGetLastError(systemVfs(), static_cast<int>(message.size()), message.data());
}

int layerOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    LayerFile& f = layer(file);
    f.base.pMethods = nullptr;
    f.real = reinterpret_cast<sqlite3_file*>(&f + 1);
    f.name = name;
    f.run = nullptr;
    f.ahead = nullptr;
    const int rc = systemVfs()->xOpen(systemVfs(), name, f.real, flags, outFlags);
    if (rc != SQLITE_OK) {
        remember(IoFailure::Operation::Open, name, -1, systemError());
        return rc;
    }
    if ((flags & SQLITE_OPEN_MAIN_DB) != 0) f.ahead = new ReadRun;
    if ((flags & SQLITE_OPEN_MAIN_DB) != 0 && (flags & SQLITE_OPEN_CREATE) != 0) f.run = new WriteRun;
    f.base.pMethods = methodsFor(f.real->pMethods->iVersion);
    return rc;
}

int layerDelete(sqlite3_vfs*, const char* name, int syncDir) {
    const int rc = systemVfs()->xDelete(systemVfs(), name, syncDir);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_DELETE_NOENT)
        remember(IoFailure::Operation::Delete, name, -1, systemError());
    return rc;
}

int layerAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    return systemVfs()->xAccess(systemVfs(), name, flags, result);
}
int layerFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return systemVfs()->xFullPathname(systemVfs(), name, size, out);
}
int layerRandomness(sqlite3_vfs*, int size, char* out) { return systemVfs()->xRandomness(systemVfs(), size, out); }
int layerSleep(sqlite3_vfs*, int microseconds) { return systemVfs()->xSleep(systemVfs(), microseconds); }
int layerCurrentTime(sqlite3_vfs*, double* now) { return systemVfs()->xCurrentTime(systemVfs(), now); }
int layerGetLastError(sqlite3_vfs*, int size, char* out) { return systemVfs()->xGetLastError(systemVfs(), size, out); }
int layerCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    return systemVfs()->xCurrentTimeInt64(systemVfs(), now);
}

}  // namespace

sqlite3_vfs* ioLayer() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs made{};
        made.iVersion = 2;
        made.szOsFile = static_cast<int>(sizeof(LayerFile)) + systemVfs()->szOsFile;
        made.mxPathname = systemVfs()->mxPathname;
        made.zName = "qn-io";
        made.xOpen = layerOpen;
        made.xDelete = layerDelete;
        made.xAccess = layerAccess;
        made.xFullPathname = layerFullPathname;
        made.xRandomness = layerRandomness;
        made.xSleep = layerSleep;
        made.xCurrentTime = layerCurrentTime;
        made.xGetLastError = layerGetLastError;
        made.xCurrentTimeInt64 = layerCurrentTimeInt64;
        return made;
    }();
    static std::once_flag registered;
    std::call_once(registered, [] { sqlite3_vfs_register(&vfs, 1); });
    return &vfs;
}

std::optional<IoFailure> lastIoFailure() {
    if (!lastFailure.present) return std::nullopt;
    return IoFailure{lastFailure.operation, lastFailure.file.data(), lastFailure.offset, lastFailure.error};
}

void forgetIoFailure() { lastFailure.present = false; }

}  // namespace engine::detail
