#pragma once

// Reads and writes that the system refuses once and then gives: a network share that drops a
// packet, a USB disk that stalls, a disk that returns an error once. Such a call is tried again a
// few times, each after a longer pause, before its failure counts: long enough to ride out a
// passing hiccup, short enough that a sector that cannot be read ends the repair at once.

#include <chrono>
#include <thread>

namespace platform {

inline constexpr int kTransferAttempts = 4;

// Waits before attempt `attempt` (0 is the first, which does not wait).
inline void pauseBeforeAttempt(int attempt) {
    static constexpr std::chrono::milliseconds kPauses[kTransferAttempts] = {
        std::chrono::milliseconds(0), std::chrono::milliseconds(1), std::chrono::milliseconds(10),
        std::chrono::milliseconds(100)};
    if (attempt > 0 && attempt < kTransferAttempts) std::this_thread::sleep_for(kPauses[attempt]);
}

}  // namespace platform
