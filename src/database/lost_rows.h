#pragma once

#include <cstdint>

// What a repair of a damaged file could not bring back, as its log tells it. Any when it lost
// rows, or cannot tell that it did not: the file is usable, but not all that it held.
struct LostRows {
    std::int64_t counted = 0;  // rows known to be lost
    std::int64_t named = 0;    // of them, the rows the log names by their keys
    bool uncounted = false;    // a table may have lost rows that nothing could count
    bool any() const { return counted > 0 || uncounted; }
};
