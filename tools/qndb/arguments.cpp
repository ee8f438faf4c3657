#include "qndb/arguments.h"

#include <charconv>
#include <limits>
#include <map>
#include <set>

#include "qndb/row_values.h"
#include "qndb/usage.h"

namespace qndb {

namespace {

using Args = std::vector<std::string>;

// The words of one command split into positionals and "--name [value]" options.
struct Words {
    Args positional;
    std::map<std::string, std::string> options;
};

Words splitWords(Args::const_iterator begin, Args::const_iterator end, const std::set<std::string>& valued,
                 const std::set<std::string>& flags) {
    Words words;
    for (auto it = begin; it != end; ++it) {
        if (it->rfind("--", 0) != 0) {
            words.positional.push_back(*it);
            continue;
        }
        const bool takesValue = valued.count(*it) != 0;
        if (!takesValue && flags.count(*it) == 0) throw UsageError("unknown option " + *it);
        if (words.options.count(*it) != 0) throw UsageError("option " + *it + " given twice");
        if (takesValue && std::next(it) == end) throw UsageError("option " + *it + " needs a value");
        const std::string& name = *it;
        std::string value = takesValue ? *++it : std::string();
        words.options[name] = std::move(value);
    }
    return words;
}

void expectPositionals(const Words& words, std::size_t count, const std::string& shape) {
    if (words.positional.size() != count) throw UsageError("expected " + shape);
}

template <typename Number>
Number parseNumber(const std::string& text, Number min, Number max, const std::string& what) {
    Number value{};
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last || value < min || value > max)
        throw UsageError(what + " must be a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'");
    return value;
}

// The engine reads a data file's password out of ";PWD=...;", so a ';' could never match.
std::string dataFilePassword(const std::string& password) {
    if (password.find(';') != std::string::npos) throw UsageError("a data file's password cannot contain ';'");
    return password;
}

WorkgroupCommand parseWorkgroup(const Args& args) {
    const Words words = splitWords(args.begin() + 1, args.end(), {}, {});
    expectPositionals(words, 3, "workgroup FILE USER PASSWORD");
    return {words.positional[0], words.positional[1], words.positional[2]};
}

CreateCommand parseCreate(const Args& args) {
    const Words words = splitWords(args.begin() + 1, args.end(), {"--rows", "--seed", "--password"}, {});
    expectPositionals(words, 2, "create FILE KIND");
    CreateCommand command;
    command.file = words.positional[0];
    command.kind = findKind(words.positional[1]);
    if (command.kind == nullptr) throw UsageError("unknown kind '" + words.positional[1] + "'");
    if (const auto rows = words.options.find("--rows"); rows != words.options.end())
        command.rows = parseNumber<std::int64_t>(rows->second, 0, RowMaker::kMaxRows, "--rows");
    if (const auto seed = words.options.find("--seed"); seed != words.options.end())
        command.seed = parseNumber<std::uint64_t>(seed->second, 0, std::numeric_limits<std::uint64_t>::max(), "--seed");
    if (const auto password = words.options.find("--password"); password != words.options.end())
        command.password = dataFilePassword(password->second);
    return command;
}

DescribeCommand parseDescribe(const Args& args) {
    const Words words = splitWords(args.begin() + 1, args.end(), {}, {"--json"});
    expectPositionals(words, 2, "describe FILE PASSWORD");
    return {words.positional[0], dataFilePassword(words.positional[1]), words.options.count("--json") != 0};
}

std::vector<DamageAction> parseActions(Args::const_iterator it, Args::const_iterator end) {
    std::vector<DamageAction> actions;
    while (it != end) {
        const std::string& word = *it++;
        DamageAction action{};
        if (word == "drop-index" || word == "strip-index")
            action.kind = word == "drop-index" ? DamageAction::Kind::DropIndex : DamageAction::Kind::StripIndex;
        else if (word == "null-keys")
            action.kind = DamageAction::Kind::NullKeys;
        else
            throw UsageError("unknown damage action '" + word + "'");
        const char* shape = action.kind == DamageAction::Kind::NullKeys ? " TABLE COUNT" : " TABLE INDEX";
        if (std::distance(it, end) < 2) throw UsageError(word + " needs" + shape);
        action.table = *it++;
        const std::string& second = *it++;
        if (action.kind == DamageAction::Kind::NullKeys)
            action.count = parseNumber<std::int64_t>(second, 1, RowMaker::kMaxRows, "null-keys COUNT");
        else
            action.index = second;
        actions.push_back(std::move(action));
    }
    if (actions.empty()) throw UsageError("damage needs at least one action");
    return actions;
}

DamageCommand parseDamage(const Args& args) {
    if (args.size() < 3) throw UsageError("expected damage FILE PASSWORD ACTION...");
    return {args[1], dataFilePassword(args[2]), parseActions(args.begin() + 3, args.end())};
}

}  // namespace

Command parseArguments(const Args& args) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& command = args.front();
    if (command == "--help" || command == "-h" || command == "help") {
        if (args.size() != 1) throw UsageError("help takes no arguments");
        return HelpCommand{};
    }
    if (command == "workgroup") return parseWorkgroup(args);
    if (command == "create") return parseCreate(args);
    if (command == "describe") return parseDescribe(args);
    if (command == "damage") return parseDamage(args);
    throw UsageError("unknown command '" + command + "'");
}

}  // namespace qndb
