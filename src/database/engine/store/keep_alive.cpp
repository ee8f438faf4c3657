#include "database/engine/store/keep_alive.h"

#include <chrono>
#include <mutex>
#include <thread>

#include <sqlite3.h>

namespace engine::detail {

namespace {

// SQLite calls back every so many virtual-machine steps, well under a millisecond apart; the
// keep-alive itself runs at most this often.
constexpr int kStepsBetweenCalls = 20000;
constexpr auto kInterval = std::chrono::milliseconds(100);

struct KeepAlive {
    std::mutex mutex;
    std::function<void()> call;
    std::thread::id owner;
    std::chrono::steady_clock::time_point last;
};

KeepAlive& keepAlive() {
    static KeepAlive state;
    return state;
}

int onProgress(void*) {
    KeepAlive& state = keepAlive();
    std::function<void()> call;
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        // Only the thread that set it: a check running on a thread of its own must not reach a window.
        if (!state.call || state.owner != std::this_thread::get_id()) return 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - state.last < kInterval) return 0;
        state.last = now;
        call = state.call;
    }
    call();
    return 0;
}

}  // namespace

void setKeepAlive(std::function<void()> call) {
    KeepAlive& state = keepAlive();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.call = std::move(call);
    state.owner = std::this_thread::get_id();
    state.last = {};
}

void watchForKeepAlive(sqlite3* db) { sqlite3_progress_handler(db, kStepsBetweenCalls, onProgress, nullptr); }

}  // namespace engine::detail
