#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace engine {

// Numbers follow the platform engine's own where one exists, so that a log line
// reads the same to someone who knows the host's files.
enum class ErrorCode : int {
    ObjectNotSet = 91,
    Unexpected = 3000,
    InvalidArgument = 3001,
    TableNotFound = 3011,
    DuplicateValues = 3022,
    FileNotFound = 3024,
    DiskFull = 3026,
    LimitReached = 3035,
    WorkgroupUnavailable = 3028,
    InvalidAccount = 3029,
    WrongPassword = 3031,
    DiskIo = 3043,
    FileLocked = 3045,
    Damaged = 3049,
    ReadOnly = 3051,
    NullInRequired = 3058,
    NoCurrentRecord = 3021,
    DestinationExists = 3204,
    FieldNotInTable = 3264,
    ItemNotFound = 3265,
    PrimaryExists = 3283,
    IndexExists = 3284,
    NotOurFormat = 3343,
    IndexWithoutFields = 3413,
    ObjectClosed = 3420,
};

// The one error the engine throws. `description()` is a complete Japanese
// sentence for the log; `what()` returns the same text.
class EngineError : public std::runtime_error {
public:
    EngineError(ErrorCode code, const std::string& description)
        : std::runtime_error(description), code_(code) {}

    ErrorCode code() const { return code_; }
    int number() const { return static_cast<int>(code_); }
    std::string description() const { return what(); }

private:
    ErrorCode code_;
};

// Whether the system refused a read, a write or a flush, or the disk was full: a failure that says
// nothing of the file's contents, and whose reason the user needs in order to act.
inline bool refusedBySystem(const EngineError& e) {
    return e.code() == ErrorCode::DiskIo || e.code() == ErrorCode::DiskFull;
}

// Whether `e` says the file read back malformed or foreign: damage, which salvage is for. What the
// system refused is no sign of damage, and no reason to salvage.
inline bool showsDamage(const EngineError& e) {
    return e.code() == ErrorCode::Damaged || e.code() == ErrorCode::NotOurFormat;
}

// Whether `e` says an index cannot be made as defined over the rows there are: its definition
// breaks a rule (no fields, a name or a primary key taken, a field the table lacks) or the rows
// break its promises (a value repeated or missing). The index checks leave such an index out and
// say so; anything else, a refusal of the system above all, ends the work.
inline bool refusesIndex(const EngineError& e) {
    switch (e.code()) {
    case ErrorCode::TableNotFound:
    case ErrorCode::IndexWithoutFields:
    case ErrorCode::IndexExists:
    case ErrorCode::PrimaryExists:
    case ErrorCode::FieldNotInTable:
    case ErrorCode::DuplicateValues:
    case ErrorCode::NullInRequired: return true;
    default: return false;
    }
}

namespace detail {
// Throws ObjectNotSet for an object built on a null parent (the host's "object variable not set").
void requireObject(const void* parent);
}  // namespace detail

// Every description the engine writes lives here, so a reader finds them together.
namespace describe {
std::string fileNotFound(const std::string& path);
std::string notOurFormat(const std::string& path);
std::string damaged(const std::string& path, const std::string& detail);
std::string wrongPassword(const std::string& path);
std::string invalidAccount(const std::string& user);
std::string workgroupNotSet();
std::string workgroupMissing(const std::string& path);
std::string workgroupForeign(const std::string& path);
std::string tableNotFound(const std::string& table);
std::string indexExists(const std::string& table, const std::string& index);
std::string indexNotFound(const std::string& table, const std::string& index);
std::string fieldNotInTable(const std::string& table, const std::string& field);
std::string fieldNotInIndex(const std::string& index, const std::string& field);
std::string itemNotFound(const std::string& name);
std::string positionOutOfRange(long position);
std::string primaryExists(const std::string& table);
std::string duplicateValues(const std::string& table, const std::string& index);
std::string nullInRequired(const std::string& table, const std::string& index);
std::string nullInRequiredWrite(const std::string& detail);
std::string duplicateWrite(const std::string& detail);
std::string indexWithoutFields(const std::string& index);
std::string indexAlreadyAppended(const std::string& index);
std::string destinationExists(const std::string& path);
std::string fileExists(const std::string& path);
std::string fileLocked(const std::string& path);
std::string objectClosed();
std::string objectNotSet();
std::string noCurrentRecord();
// `reason` is the system's own words; empty when it gave none.
std::string diskFull(const std::string& path, const std::string& reason);
// Before a write starts: the disk of `path` has `available` bytes, the write needs `needed` (at
// least that much, when `atLeast`).
std::string noRoomFor(const std::string& path, std::uintmax_t available, std::uintmax_t needed, bool atLeast);
std::string readFailed(const std::string& path, std::int64_t offset, const std::string& reason);
std::string writeFailed(const std::string& path, std::int64_t offset, const std::string& reason);
std::string flushFailed(const std::string& path, const std::string& reason);
std::string diskIo(const std::string& path, const std::string& detail);
// SQLite refused to grow a file past its own limits, as when a damaged page claims a vast size.
std::string limitReached(const std::string& path, const std::string& detail);
std::string readOnly(const std::string& path);
std::string sidecarUnusable(const std::string& path, const std::string& sidecar, const std::string& detail);
std::string wrongValueCount(const std::string& table, std::size_t expected, std::size_t given);
// What a salvage or a compaction records in the copy's problems table: notes, not errors.
std::string bookkeepingReadByColumnOrder(const std::string& table);
std::string bookkeepingUnreadable(const std::string& table);
std::string bookkeepingDefinitionDamaged(const std::string& table);
std::string bookkeepingMissing(const std::string& table);
std::string indexDefinitionLost(const std::string& index);
std::string indexNotRemade(const std::string& index, const std::string& reason);
std::string indexDisagreedRemade(const std::string& index);
std::string indexDisagreedLeftOut(const std::string& index, const std::string& reason);
// An index that the bookkeeping does not list, and so cannot be made again, disagrees with its table.
std::string unlistedIndexDisagrees();
std::string salvaged();
std::string recoveryStopped(const std::string& reason);
std::string noReadableTable();
// `ofNoTable` when the rows' table is unknown; `unnamed` of them have no key the log can give.
std::string rowsNotTaken(std::int64_t rows, bool ofNoTable, std::int64_t unnamed);
std::string rowsUnverified();
std::string verifierRenewed();
// Where the system named no file: SQLite's own temporary files have no name.
std::string sqliteTemporaryFile();
std::string notARegularFile();
std::string invalidName(const std::string& name);
std::string unexpected(const std::string& detail);
}  // namespace describe

}  // namespace engine
