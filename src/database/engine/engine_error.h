#pragma once

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
std::string diskFull(const std::string& path);
std::string diskIo(const std::string& path, const std::string& detail);
std::string readOnly(const std::string& path);
std::string sidecarUnusable(const std::string& path, const std::string& sidecar, const std::string& detail);
std::string wrongValueCount(const std::string& table, std::size_t expected, std::size_t given);
std::string invalidName(const std::string& name);
std::string unexpected(const std::string& detail);
}  // namespace describe

}  // namespace engine
