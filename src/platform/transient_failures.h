#pragma once

// Calls that the system refuses for a moment and then allows. Each is tried again, after a longer
// pause each time, before its failure counts:
// - a read or write of a file's contents (a network share that drops a packet, a USB disk that
//   stalls, a disk that errs once): four tries over about a tenth of a second, long enough to ride
//   out a passing hiccup, short enough that a sector that cannot be read ends the repair at once;
// - on Windows, renaming or removing a file that another program holds open for a moment (a virus
//   scanner or the search indexer, which open each new file): ten tries over about five seconds.

#include <chrono>
#include <cstddef>
#include <thread>

#include "platform/system_error.h"

namespace platform {

class Retries {
public:
    enum class For { Transfer, HeldFile };
    explicit Retries(For what) : what_(what) {}

    // After a failed attempt: false when none is left; otherwise waits before the next, then true.
    bool again() {
        using std::chrono::milliseconds;
        static constexpr milliseconds kTransferPauses[] = {milliseconds(1), milliseconds(10), milliseconds(100)};
        static constexpr milliseconds kHeldFilePauses[] = {
            milliseconds(50),   milliseconds(100),  milliseconds(200),  milliseconds(400),  milliseconds(800),
            milliseconds(1000), milliseconds(1000), milliseconds(1000), milliseconds(1000)};
        const milliseconds* pauses = what_ == For::Transfer ? kTransferPauses : kHeldFilePauses;
        const std::size_t count = what_ == For::Transfer ? std::size(kTransferPauses) : std::size(kHeldFilePauses);
        if (done_ == count) return false;
        std::this_thread::sleep_for(pauses[done_++]);
        return true;
    }

private:
    For what_;
    std::size_t done_ = 0;
};

// `attempt` (a call that returns a SystemError), tried again while another program holds the file.
template <typename Attempt>
SystemError waitingOutHolders(Attempt attempt) {
    Retries retries(Retries::For::HeldFile);
    for (;;) {
        SystemError error = attempt();
        if (!error.heldByAnother() || !retries.again()) return error;
    }
}

}  // namespace platform
