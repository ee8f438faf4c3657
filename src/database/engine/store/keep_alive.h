#pragma once

// Internal to the engine: letting the thread that set a keep-alive run it while SQLite works.

#include <functional>

// Of the engine's headers, only sqlite_connection.h includes SQLite's.
struct sqlite3;

namespace engine::detail {

void setKeepAlive(std::function<void()> keepAlive);

// Lets long statements on `db` call the keep-alive now and then.
void watchForKeepAlive(sqlite3* db);

}  // namespace engine::detail
