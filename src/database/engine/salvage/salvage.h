#pragma once

// Internal to the engine: what compaction does when the source is damaged.

#include <string>

namespace engine::detail {

// Writes to `destination` (which must not exist) what SQLite's recovery brings back from the
// damaged data file `source`: every row it can read, in its own table (put back by the file's
// layout where the schema that led to it is lost), every index that can be rebuilt over them and
// the password verifier, a fresh one for `password` when the file's was lost. Each problem goes
// to the salvage table, each loss of rows with how many where the file still shows it.
// Throws NotOurFormat when nothing shows the file to be a data file of ours (`headerIsOurs` says
// whether its header does), WrongPassword when its verifier refuses `password`, Damaged when no
// table could be read; damage never shows as a failure of the surroundings.
void salvage(const std::string& source, const std::string& destination, const std::string& password,
             bool headerIsOurs);

}  // namespace engine::detail
