#include "database/engine/store/open_data_file.h"

#include <filesystem>

#include "database/engine/store/engine_error.h"
#include "database/engine/store/file_format.h"
#include "database/engine/store/password.h"
#include "platform/paths.h"

namespace engine::detail {

void requireRegularFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(platform::toPath(path), ec);
    if (ec || !std::filesystem::exists(status)) throw EngineError(ErrorCode::FileNotFound, describe::fileNotFound(path));
    if (!std::filesystem::is_regular_file(status))
        throw EngineError(ErrorCode::NotOurFormat, describe::notOurFormat(path));
}

std::shared_ptr<Connection> openDataFile(const std::string& path, OpenMode mode, const std::string& password) {
    requireRegularFile(path);
    std::shared_ptr<Connection> conn = Connection::open(path, mode);
    checkDataFile(*conn, password);
    return conn;
}

void checkDataFile(Connection& conn, const std::string& password) {
    checkFile(conn, FileKind::Data);
    checkPassword(conn, password);
}

void checkPassword(Connection& conn, const std::string& password) {
    const std::string verifier = storedVerifier(conn);
    if (!verifier.empty() && !verifyPassword(verifier, password))
        throw EngineError(ErrorCode::WrongPassword, describe::wrongPassword(conn.path()));
}

}  // namespace engine::detail
