#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/host_kinds.h"

namespace qndb {

// The kind named `name` on qndb's command line; nullptr for a word that names no kind.
const hostkind::HostKind* findKind(std::string_view name);

// The tables of a new file of `kind`, in the order they are created.
std::vector<std::string> tablesOf(const hostkind::HostKind& kind);

}  // namespace qndb
