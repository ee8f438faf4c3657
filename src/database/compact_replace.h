#pragma once

#include <string>

#include "rebuild.h"

// Compacts the file under repair into the scratch copy (tool's directory/temp/repair.mdb), leaving
// out the indexes that `remakes` (when set) says the rebuild that follows makes again.
// True when the scratch copy exists afterwards.
bool CompactDataFile(const std::string& path, const std::string& password, RemakesIndex remakes = nullptr);

// Puts the scratch copy in place of the file at `path`. True when the copy now stands there.
bool ReplaceDataFile(const std::string& path);

// After a step that failed on the scratch copy: a copy that a journal beside it shows to be half
// written is removed with the journal, which SQLite would apply to the next copy made there.
void DiscardUnfinishedScratchCopy();

// Ends the hold on the scratch folder that CompactDataFile took; the driver calls it when
// a repair ends, whatever its outcome.
void ReleaseScratch();
