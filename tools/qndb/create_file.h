#pragma once

#include "qndb/arguments.h"

namespace qndb {

// Makes a new data file of the command's kind: its tables, rows and catalogue indexes.
// Refuses an existing file; a file left incomplete by a failure is removed.
void createFile(const CreateCommand& command);

}  // namespace qndb
