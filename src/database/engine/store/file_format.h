#pragma once

// Internal to the engine: how a data file and a workgroup file are laid out in SQLite.

#include <cstdint>
#include <string>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

enum class FileKind : std::int32_t {
    Data = 0x514E4442,       // "QNDB"
    Workgroup = 0x514E5747,  // "QNWG"
};

constexpr int kFormatVersion = 1;

// The engine's bookkeeping tables carry this prefix; TableDefs never shows them.
constexpr const char* kReservedPrefix = "_qn_";
constexpr const char* kMetaTable = "_qn_meta";
constexpr const char* kIndexTable = "_qn_index";
constexpr const char* kAccountTable = "_qn_accounts";
constexpr const char* kSalvageTable = "_qn_salvage";
// Where each table and index lives (see layout.h): what salvage needs when the schema is lost.
constexpr const char* kLayoutTable = "_qn_layout";
// The bookkeeping tables of every data file, in the order a new one gets them.
constexpr const char* kDataBookkeeping[] = {kMetaTable, kIndexTable, kLayoutTable};

bool isReservedName(const std::string& name);

// The statement that creates bookkeeping table `name` (one of the constants above).
std::string bookkeepingDefinition(const std::string& name);
// Whether bookkeeping table `name` is in the file. Throws Damaged when it is there but not as
// this engine made it: a garbled definition passes SQLite's own check, and every later read of
// the table would fail.
bool hasBookkeeping(Connection& conn, const std::string& name);
// Throws Damaged unless bookkeeping table `name` is in the file as this engine made it.
void requireBookkeeping(Connection& conn, const std::string& name);

// What the first bytes of the file at `path` say, read without SQLite: a file of `kind` in a
// format version this engine reads, another SQLite file (another kind, another program, a newer
// version), or no SQLite file at all, as when its header is spoilt.
enum class HeaderVerdict { Ours, Foreign, Unreadable };
HeaderVerdict readHeader(const std::string& path, FileKind kind);

// Throws NotOurFormat (or the workgroup's own error) unless `conn` holds a file of `kind`
// whose table of settings or accounts can be read.
void checkFile(Connection& conn, FileKind kind);

// The stored password verifier of a data file; empty when the file has no password.
std::string storedVerifier(Connection& conn);
// Stores `verifier` in a new data file; an empty one leaves the file without a password.
void storeVerifier(Connection& conn, const std::string& verifier);

}  // namespace engine::detail
