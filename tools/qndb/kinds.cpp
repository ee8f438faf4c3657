#include "kinds.h"

#include <algorithm>
#include <array>

#include "host_kinds.h"

namespace qndb {

namespace {

// The numbered tables of the work (U) and design (T) files.
constexpr std::array<std::string_view, 12> kTableNumbers = {"000", "010", "014", "020", "024", "030",
                                                            "031", "040", "041", "042", "043", "090"};

}  // namespace

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
        for (const std::string_view number : kTableNumbers) tables.push_back(kind.tableLetter + std::string(number));
    return tables;
}

}  // namespace qndb
