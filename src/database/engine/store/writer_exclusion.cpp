#include "database/engine/store/writer_exclusion.h"

#include "platform/sqlite_files.h"

namespace engine {

bool excludeWriters(const platform::ReadOnlyFile& file) { return !file.lockForReading(platform::sqliteWriterLocks()); }

}  // namespace engine
