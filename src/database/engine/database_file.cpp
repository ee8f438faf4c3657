#include "database/engine/database_file.h"

#include "database/engine/store/engine_error.h"
#include "database/engine/store/index_store.h"
#include "database/engine/store/sqlite_connection.h"

namespace engine::detail {

DatabaseFile::DatabaseFile(std::shared_ptr<Connection> conn)
    : conn_(std::move(conn)), indexCache_(std::make_unique<IndexCache>()) {
    requireObject(conn_.get());
    path_ = conn_->path();
}

DatabaseFile::~DatabaseFile() = default;

Connection& DatabaseFile::connection() const {
    if (!conn_) throw EngineError(ErrorCode::ObjectClosed, describe::objectClosed());
    return *conn_;
}

std::shared_ptr<Connection> DatabaseFile::sharedConnection() const {
    connection();
    return conn_;
}

IndexCache& DatabaseFile::indexCache() const { return *indexCache_; }

void DatabaseFile::close() {
    connection();
    conn_.reset();
}

}  // namespace engine::detail
