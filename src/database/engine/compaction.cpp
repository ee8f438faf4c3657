#include "compaction.h"

#include <filesystem>

#include "engine_error.h"
#include "open_data_file.h"

namespace engine::detail {

void compact(const std::string& source, const std::string& destination, const std::string& password) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(destination, ec)))
        throw EngineError(ErrorCode::DestinationExists, describe::destinationExists(destination));
    std::shared_ptr<Connection> conn = openDataFile(source, OpenMode::ReadOnly, password);
    try {
        Statement vacuum = conn->prepare("VACUUM INTO ?");
        vacuum.bind(1, destination);
        vacuum.step();
    } catch (...) {
        // Never leave a half-written copy that a later step could take for a good one.
        std::filesystem::remove(destination, ec);
        throw;
    }
}

}  // namespace engine::detail
