#pragma once

// Internal to the engine: a damaged file seen page by page.

#include <memory>
#include <string>

#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

// A read-only connection to the file at `path` that SQLite can open whatever became of its header
// and schema: its first page is shown as the first page of an empty database of `pageSize`-byte
// pages, as many as the file holds, and every other page as it is. Nothing but SQLite's page
// readers (sqlite_dbpage, sqlite_dbptr, sqlite_dbdata) has anything to read through it.
std::shared_ptr<Connection> openPageView(const std::string& path, int pageSize);

}  // namespace engine::detail
