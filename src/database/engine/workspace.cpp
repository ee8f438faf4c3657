#include "workspace.h"

#include "engine_error.h"
#include "open_data_file.h"
#include "password.h"

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
