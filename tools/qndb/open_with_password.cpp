#include "qndb/open_with_password.h"

#include <memory>

#include "database/engine/workspace.h"

namespace qndb {

engine::DatabasePtr openWithPassword(const std::string& path, const std::string& password, bool readOnly) {
    const auto workspace = std::make_shared<engine::Workspace>("qndb", "qndb");
    return workspace->OpenDatabase(path, false, readOnly, ";PWD=" + password + ";");
}

}  // namespace qndb
