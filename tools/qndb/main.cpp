// qndb: makes, describes and damages the host's data files, for demos, tests and benchmarks.

#include <iostream>
#include <string>
#include <vector>

#include "qndb/arguments.h"
#include "platform/program_arguments.h"
#include "qndb/create_file.h"
#include "qndb/damage.h"
#include "database/engine/db_engine.h"
#include "qndb/describe.h"
#include "qndb/describe_format.h"
#include "qndb/open_with_password.h"
#include "qndb/usage.h"

namespace {

using namespace qndb;

void run(const HelpCommand&) { std::cout << usageText(); }

void run(const WorkgroupCommand& command) {
    engine::DBEngine::instance().CreateAccount(command.file, command.user, command.password);
}

void run(const CreateCommand& command) { createFile(command); }

void run(const DescribeCommand& command) {
    const engine::DatabasePtr db = openWithPassword(command.file, command.password, true);
    const FileDescription description = describeFile(*db);
    std::cout << (command.json ? toJson(description) + "\n" : toText(description));
}

void run(const DamageCommand& command) {
    const engine::DatabasePtr db = openWithPassword(command.file, command.password, false);
    applyDamage(*db, command.actions);
    db->Close();
}

}  // namespace

int main(int argc, char** argv) {
    // Its descriptions are compared byte for byte, on every system.
    platform::useBinaryOutput();
    Command command;
    try {
        command = parseArguments(platform::arguments(argc, argv));
    } catch (const UsageError& e) {
        std::cerr << "qndb: " << e.what() << "\n" << usageText();
        return 2;
    }
    try {
        std::visit([](const auto& c) { run(c); }, command);
        // A full disk or a closed pipe must not pass for a complete description.
        if (!std::cout.flush()) throw std::runtime_error("cannot write to standard output");
    } catch (const std::exception& e) {
        // An engine error's what() is its description.
        std::cerr << "qndb: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
