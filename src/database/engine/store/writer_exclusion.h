#pragma once

// Keeping other processes from writing to a data file that this process is about to replace.

namespace engine {

// Takes, on `fd` (a descriptor of a data file open for reading), the locks that every writer of
// the file must be able to take over: no other connection can begin a write or commit one until
// this process closes `fd`. False when another connection is writing to the file at this moment.
// Readers are not kept out.
bool ExcludeWriters(int fd);

}  // namespace engine
