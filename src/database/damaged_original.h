#pragma once

#include <string>

// Keeps the data file `original` (links resolved) under a new name beside it,
// "<name>.damaged-<yyyymmdd-hhmmss><ext>", before a repair that could not bring back all of it
// puts its copy in place: a hard link where the file system allows one, else a flushed copy,
// made under a temporary name (file_replace.h) and renamed once whole. Returns the new name.
// Throws with a Japanese description; a failure leaves nothing behind.
std::string keepDamagedOriginal(const std::string& original);
