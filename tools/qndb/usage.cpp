#include "qndb/usage.h"

#include "qndb/kinds.h"

namespace qndb {

std::string usageText() {
    std::string kinds;
    for (const hostkind::HostKind& kind : hostkind::kKinds) kinds += " " + std::string(kind.qndbName);
    return "usage:\n"
           "  qndb workgroup FILE USER PASSWORD\n"
           "  qndb create FILE KIND [--rows N] [--seed S] [--password PW]\n"
           "      KIND:" + kinds + "\n"
           "  qndb describe FILE PASSWORD [--json]\n"
           "  qndb damage FILE PASSWORD ACTION...\n"
           "      ACTION: drop-index TABLE INDEX | strip-index TABLE INDEX | null-keys TABLE COUNT\n"
           "  qndb --help\n";
}

}  // namespace qndb
