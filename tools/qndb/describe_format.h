#pragma once

#include <string>

#include "qndb/describe.h"

namespace qndb {

// One line without whitespace: {"tables":[{"name":..,"rows":..,"indexes":[{"name":..,
// "fields":[..],"primary":..,"unique":..,"required":..,"ignoreNulls":..}]}]}
std::string toJson(const FileDescription& description);

// For people: a line per table, then an indented line per index.
std::string toText(const FileDescription& description);

}  // namespace qndb
