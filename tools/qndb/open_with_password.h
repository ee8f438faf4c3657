#pragma once

#include <string>

#include "database/engine/database.h"

namespace qndb {

// Opens a data file through a workspace of the tool's own: the tool needs no workgroup logon.
engine::DatabasePtr openWithPassword(const std::string& path, const std::string& password, bool readOnly);

}  // namespace qndb
