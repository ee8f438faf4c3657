#pragma once

// Internal to the engine: what SQLite's full check proves of a file, proven on a thread of its own.

#include <atomic>
#include <functional>
#include <future>
#include <memory>

#include "sqlite_connection.h"

namespace engine::detail {

// Proves on another thread what SQLite's full check would of `conn`'s file: SQLite's quick check of
// its pages, trees and records, then that every index agrees with its table (index_proof.h), in
// linear passes where the full check looks every row up in every index, which costs more than
// the copy beside it once the indexes outgrow the caches. It runs inside a read transaction taken
// at once and kept for the object's lifetime: no one can commit to the file meanwhile, so what
// the caller reads through another connection is what the check sees. `first` runs on that
// thread before the check, on `conn` (the file's password, whose verification is costly by
// design). (SQLite is built thread-safe; the connection is the thread's alone until passed().)
class BackgroundCheck {
public:
    BackgroundCheck(std::shared_ptr<Connection> conn, std::function<void(Connection&)> first);
    // Stops a check still running and waits for it.
    ~BackgroundCheck();
    BackgroundCheck(const BackgroundCheck&) = delete;
    BackgroundCheck& operator=(const BackgroundCheck&) = delete;

    // Waits for the check: true when it found nothing wrong, false when it found damage. Throws
    // what `first` threw, and what kept the check from reading the file (a read the system refused).
    bool passed();

private:
    std::shared_ptr<Connection> conn_;
    std::atomic<bool> stopped_{false};
    std::future<bool> passed_;
};

}  // namespace engine::detail
