#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "qndb/kinds.h"
#include "qndb/row_values.h"

namespace qndb {

struct HelpCommand {};

struct WorkgroupCommand {
    std::string file;
    std::string user;
    std::string password;
};

struct CreateCommand {
    std::string file;
    const hostkind::HostKind* kind = nullptr;
    std::int64_t rows = 20;
    std::uint64_t seed = kDefaultSeed;
    std::optional<std::string> password;  // the kind's key when absent; empty for a file without one
};

struct DescribeCommand {
    std::string file;
    std::string password;
    bool json = false;
};

struct DamageAction {
    enum class Kind { DropIndex, StripIndex, NullKeys };
    Kind kind;
    std::string table;
    std::string index;       // drop-index and strip-index
    std::int64_t count = 0;  // null-keys
};

struct DamageCommand {
    std::string file;
    std::string password;
    std::vector<DamageAction> actions;
};

using Command = std::variant<HelpCommand, WorkgroupCommand, CreateCommand, DescribeCommand, DamageCommand>;

// Reads the words after the program name; throws UsageError for anything malformed, before
// any file is touched.
// By hand, not with CLI11 (2.1): it saturates or wraps numbers out of range ("--seed -1"), reads
// "0x10" as 16, and reports an unknown option and an extra word as one and the same error.
Command parseArguments(const std::vector<std::string>& args);

}  // namespace qndb
