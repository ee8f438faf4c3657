#pragma once

// Internal to the engine: opening a data file with every check a caller relies on.

#include <memory>
#include <string>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// Throws FileNotFound unless `path` names something, NotOurFormat unless it is a regular file.
void requireRegularFile(const std::string& path);

// Throws FileNotFound, NotOurFormat, FileLocked or WrongPassword as the case may be.
std::shared_ptr<Connection> openDataFile(const std::string& path, OpenMode mode, const std::string& password);
// The checks of openDataFile on a connection already open: a file of ours whose settings can be
// read (checkFile), and the password (checkPassword: WrongPassword).
void checkDataFile(Connection& conn, const std::string& password);
void checkPassword(Connection& conn, const std::string& password);

}  // namespace engine::detail
