#include "kinds.h"

#include <algorithm>

#include "host_kinds.h"
#include "index_catalogue.h"

namespace qndb {

const std::vector<FileKind>& fileKinds() {
    static const std::vector<FileKind> kinds = {
        {"system", hostkind::kSystemKey, '\0'}, {"work", hostkind::kWorkKey, 'U'},
        {"design", hostkind::kDesignKey, 'T'},  {"standard", hostkind::kStandardKey, '\0'},
        {"user", hostkind::kUserKey, '\0'},     {"learning", hostkind::kLearningKey, '\0'},
        {"other", hostkind::kOtherKey, '\0'},
    };
    return kinds;
}

const FileKind* findKind(std::string_view name) {
    const auto& kinds = fileKinds();
    const auto found = std::find_if(kinds.begin(), kinds.end(), [&](const FileKind& k) { return k.name == name; });
    return found == kinds.end() ? nullptr : &*found;
}

std::vector<std::string> tablesOf(const FileKind& kind) {
    std::vector<std::string> tables = {"Data", "Lock"};
    if (kind.tableLetter != '\0')
        for (std::string& table : catalogue::numberedTables(kind.tableLetter)) tables.push_back(std::move(table));
    return tables;
}

}  // namespace qndb
