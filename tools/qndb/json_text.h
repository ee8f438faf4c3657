#pragma once

#include <string>
#include <string_view>

namespace qndb {

// `text` with quotes, backslashes and control characters escaped as JSON does, and every byte
// that is not part of valid UTF-8 replaced by \ufffd: names read from a file can hold anything,
// and neither a JSON reader nor a terminal should see it raw.
// Not nlohmann::json's dump: without ensure_ascii it writes a bad sequence as one raw U+FFFD and
// leaves DEL raw; with it, it escapes every non-ASCII character, Japanese names included.
std::string escaped(std::string_view text);

// `text` escaped and in double quotes: a JSON string.
std::string jsonString(std::string_view text);

}  // namespace qndb
