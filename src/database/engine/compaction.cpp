#include "compaction.h"

#include <filesystem>

#include "engine_error.h"
#include "file_format.h"
#include "open_data_file.h"
#include "salvage.h"

namespace engine::detail {

namespace {

bool sourceUnreadable(const EngineError& e) {
    return e.code() == ErrorCode::Damaged || e.code() == ErrorCode::NotOurFormat || e.code() == ErrorCode::DiskIo;
}

// A straight copy of a sound file, with any index that does not match its table rebuilt.
void copyWhole(Connection& source, const std::string& destination) {
    Statement vacuum = source.prepare("VACUUM INTO ?");
    vacuum.bind(1, destination);
    vacuum.step();
    std::shared_ptr<Connection> copy = Connection::open(destination, OpenMode::ReadWrite);
    // The problems of an earlier salvage describe that compaction, not this one.
    copy->exec(std::string("DROP TABLE IF EXISTS ") + kSalvageTable);
    repairDisagreeingIndexes(*copy);
}

}  // namespace

void compact(const std::string& source, const std::string& destination, const std::string& password) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(destination, ec)))
        throw EngineError(ErrorCode::DestinationExists, describe::destinationExists(destination));
    std::shared_ptr<Connection> conn = openDataFile(source, OpenMode::ReadOnly, password);
    try {
        copyWhole(*conn, destination);
        return;
    } catch (const EngineError& e) {
        // Never leave a half-written copy that a later step could take for a good one.
        std::filesystem::remove(destination, ec);
        if (!sourceUnreadable(e)) throw;
    } catch (...) {
        std::filesystem::remove(destination, ec);
        throw;
    }
    try {
        salvage(*conn, destination);
    } catch (...) {
        std::filesystem::remove(destination, ec);
        throw;
    }
}

}  // namespace engine::detail
