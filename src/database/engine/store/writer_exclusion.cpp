#include "writer_exclusion.h"

#include "sqlite_files.h"

namespace engine {

bool ExcludeWriters(const platform::ReadOnlyFile& file) { return !file.lockForReading(platform::sqliteWriterLocks()); }

}  // namespace engine
