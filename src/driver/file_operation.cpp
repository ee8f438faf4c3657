#include "driver/file_operation.h"

#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <system_error>

#include "common/descriptions.h"
#include "common/error_trap.h"
#include "common/failure.h"
#include "common/messages.h"
#include "platform/paths.h"
#include "platform/system_error.h"

namespace repairM {

namespace {

namespace fs = std::filesystem;

void check(const std::string& path, const std::error_code& ec) {
    if (ec) throw Failure(describe::operationRefused(path, platform::errorText(ec)));
}

void requireFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(platform::toPath(path), ec)) throw Failure(describe::noSuchFile(path));
}

void requireFolder(const std::string& path) {
    std::error_code ec;
    if (!fs::is_directory(platform::toPath(path), ec)) throw Failure(describe::noSuchFolder(path));
}

void requireAbsent(const std::string& path) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(platform::toPath(path), ec))) throw Failure(describe::alreadyThere(path));
}

// A move that also works across file systems, as the platform's move does.
void move(const std::string& from, const std::string& to) {
    requireAbsent(to);
    std::error_code ec;
    fs::rename(platform::toPath(from), platform::toPath(to), ec);
    if (ec == std::errc::cross_device_link) {
        fs::copy(platform::toPath(from), platform::toPath(to), fs::copy_options::recursive, ec);
        check(to, ec);
        fs::remove_all(platform::toPath(from), ec);
    }
    check(from, ec);
}

std::string absolute(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(platform::toPath(path), ec);
    check(path, ec);
    return platform::fromPath(full.lexically_normal());
}

using Operation = std::function<bool(std::string& a, std::string& b)>;

const std::map<std::string, Operation>& operations() {
    static const std::map<std::string, Operation> table = {
        {"CopyFile",
         [](std::string& a, std::string& b) {
             requireFile(a);
             std::error_code ec;
             fs::copy_file(platform::toPath(a), platform::toPath(b), fs::copy_options::overwrite_existing, ec);
             check(b, ec);
             return true;
         }},
        {"CreateFolder",
         [](std::string& a, std::string&) {
             requireAbsent(a);
             std::error_code ec;
             fs::create_directory(platform::toPath(a), ec);
             check(a, ec);
             return true;
         }},
        {"DeleteFile",
         [](std::string& a, std::string&) {
             requireFile(a);
             std::error_code ec;
             // Forced: a read-only file goes too.
             fs::permissions(platform::toPath(a), fs::perms::owner_write, fs::perm_options::add, ec);
             fs::remove(platform::toPath(a), ec);
             check(a, ec);
             return true;
         }},
        {"FileExists",
         [](std::string& a, std::string&) {
             std::error_code ec;
             return fs::is_regular_file(platform::toPath(a), ec);
         }},
        {"FolderExists",
         [](std::string& a, std::string&) {
             std::error_code ec;
             return fs::is_directory(platform::toPath(a), ec);
         }},
        {"MoveFile",
         [](std::string& a, std::string& b) {
             requireFile(a);
             move(a, b);
             return true;
         }},
        {"MoveFolder",
         [](std::string& a, std::string& b) {
             requireFolder(a);
             move(a, b);
             return true;
         }},
        {"Name",
         [](std::string& a, std::string& b) {
             requireFile(a);
             b = platform::fromPath(platform::toPath(a).filename());
             return true;
         }},
        {"ExName",
         [](std::string& a, std::string& b) {
             const std::string extension = platform::fromPath(platform::toPath(a).extension());
             b = extension.empty() ? extension : extension.substr(1);
             return true;
         }},
        {"ParentFolder",
         [](std::string& a, std::string& b) {
             requireFile(a);
             b = platform::fromPath(platform::toPath(absolute(a)).parent_path());
             return true;
         }},
        {"ParentFolderName",
         [](std::string& a, std::string& b) {
             b = platform::fromPath(platform::toPath(a).parent_path());
             return true;
         }},
        {"Path",
         [](std::string& a, std::string& b) {
             requireFile(a);
             const fs::path full = platform::toPath(absolute(a));
             b = platform::fromPath(full.filename());
             a = platform::fromPath(full.parent_path());
             return true;
         }},
    };
    return table;
}

}  // namespace

bool FileOperation(const std::string& operation, std::string& a, std::string& b) {
    const auto found = operations().find(operation);
    if (found == operations().end()) return true;
    return runTrapped(operation + msg::kTailOperationFailed, [&] { return found->second(a, b); });
}

}  // namespace repairM
