#include "database/engine/db_engine.h"

#include <cstdio>
#include <filesystem>

#include "database/engine/compaction/compaction.h"
#include "database/engine/store/engine_error.h"
#include "platform/file_access.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/keep_alive.h"
#include "database/engine/store/new_file.h"
#include "database/engine/store/password.h"
#include "platform/paths.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine {

DBEngine& DBEngine::instance() {
    static DBEngine engine;
    return engine;
}

WorkspacePtr DBEngine::CreateWorkspace(const std::string& name, const std::string& user,
                                       const std::string& password) {
    if (systemDB_.empty()) throw EngineError(ErrorCode::WorkgroupUnavailable, describe::workgroupNotSet());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(platform::toPath(systemDB_), ec))
        throw EngineError(ErrorCode::WorkgroupUnavailable, describe::workgroupMissing(systemDB_));
    auto conn = detail::Connection::open(systemDB_, detail::OpenMode::ReadOnly);
    detail::checkFile(*conn, detail::FileKind::Workgroup);
    detail::Statement stmt =
        conn->prepare(std::string("SELECT verifier FROM ") + detail::kAccountTable + " WHERE name=?");
    stmt.bind(1, user);
    if (!stmt.step() || !detail::verifyPassword(stmt.columnText(0), password))
        throw EngineError(ErrorCode::InvalidAccount, describe::invalidAccount(user));
    return std::make_shared<Workspace>(name, user);
}

void DBEngine::CompactDatabase(const std::string& source, const std::string& destination,
                               const std::string& /*destinationLocale*/, int /*options*/,
                               const std::string& sourceLocale, const RemadeIndexes& remade) {
    detail::compact(source, destination, detail::passwordFromConnect(sourceLocale), remade);
}

void DBEngine::setKeepAlive(std::function<void()> keepAlive) { detail::setKeepAlive(std::move(keepAlive)); }

DatabasePtr DBEngine::CreateDatabase(const std::string& path, const std::string& password) {
    // Claim the name with an exclusive create first: a file that appears after a mere existence
    // check would otherwise be taken over and stamped as ours.
    const bool claimed = !platform::createNew(path);
    std::error_code ec;
    if (!claimed && std::filesystem::exists(std::filesystem::symlink_status(platform::toPath(path), ec)))
        throw EngineError(ErrorCode::DestinationExists, describe::fileExists(path));
    try {
        auto conn = detail::Connection::open(path, detail::OpenMode::Create);
        detail::initialiseFile(*conn, detail::FileKind::Data);
        if (!password.empty()) detail::storeVerifier(*conn, detail::makeVerifier(password));
        return std::make_shared<Database>(std::move(conn));
    } catch (...) {
        // A file without its bookkeeping or its password would open as an unprotected data file.
        if (claimed) std::filesystem::remove(platform::toPath(path), ec);
        throw;
    }
}

void DBEngine::CreateAccount(const std::string& workgroupPath, const std::string& user,
                             const std::string& password) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(platform::toPath(workgroupPath), ec);
    auto conn = detail::Connection::open(workgroupPath, exists ? detail::OpenMode::ReadWrite : detail::OpenMode::Create);
    if (exists)
        detail::checkFile(*conn, detail::FileKind::Workgroup);
    else
        detail::initialiseFile(*conn, detail::FileKind::Workgroup);
    detail::Statement stmt =
        conn->prepare(std::string("INSERT OR REPLACE INTO ") + detail::kAccountTable + " VALUES(?, ?)");
    stmt.bind(1, user).bind(2, detail::makeVerifier(password));
    stmt.step();
}

}  // namespace engine
