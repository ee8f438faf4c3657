#pragma once

#include <string>

#include "database/lost_rows.h"
#include "database/rebuild.h"

// Compacts the file under repair into the scratch copy (tool's directory/temp/repair.mdb), leaving
// out the indexes that `remakes` (when set) says the rebuild that follows makes again.
// True when the scratch copy exists afterwards; `lost` then says what a damaged file's salvage
// could not bring back (the log has said it too).
bool CompactDataFile(const std::string& path, const std::string& password, LostRows& lost,
                     RemakesIndex remakes = nullptr);

// Puts the scratch copy in place of the file at `path`, keeping the damaged original beside it
// when `lost` has rows. True when the copy now stands there.
bool ReplaceDataFile(const std::string& path, const LostRows& lost);

// After a step that failed on the scratch copy: a copy that a journal beside it shows to be half
// written is removed with the journal, which SQLite would apply to the next copy made there.
void discardUnfinishedScratchCopy();

// Ends the hold on the scratch folder that CompactDataFile took; the driver calls it when
// a repair ends, whatever its outcome.
void releaseScratch();
