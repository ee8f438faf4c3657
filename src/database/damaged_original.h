#pragma once

#include <string>

// Keeps the file at `path` (the file a link names, for a symlink) under a new name beside it,
// "<name>.damaged-<yyyymmdd-hhmmss><ext>", before a repair that could not bring back all of it
// puts its copy in place: a hard link where the file system allows one, else a flushed copy.
// Returns the new name. Throws with a Japanese description; a failure leaves nothing behind.
std::string keepDamagedOriginal(const std::string& path);
