#include "database/engine/workspace.h"

#include "database/engine/store/engine_error.h"
#include "database/engine/store/open_data_file.h"
#include "database/engine/store/password.h"

namespace engine {

DatabasePtr Workspace::OpenDatabase(const std::string& name, bool exclusive, bool readOnly,
                                    const std::string& connect) {
    if (!open_) throw EngineError(ErrorCode::ObjectClosed, describe::objectClosed());
    auto conn = detail::openDataFile(name, readOnly ? detail::OpenMode::ReadOnly : detail::OpenMode::ReadWrite,
                                     detail::passwordFromConnect(connect));
    if (exclusive) conn->exec("PRAGMA locking_mode=EXCLUSIVE");
    return std::make_shared<Database>(std::move(conn));
}

}  // namespace engine
