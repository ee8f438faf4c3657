#include "background_check.h"

#include "engine_error.h"

namespace engine::detail {

BackgroundCheck::BackgroundCheck(std::shared_ptr<Connection> conn) : conn_(std::move(conn)) {
    conn_->exec("BEGIN");
    // The first read takes the read lock that the transaction keeps.
    conn_->queryInt("SELECT count(*) FROM sqlite_schema");
    Connection& checked = *conn_;
    passed_ = std::async(std::launch::async, [&checked] {
        try {
            return checked.integrityCheck() == "ok";
        } catch (const EngineError& e) {
            if (!showsDamage(e)) throw;
            return false;
        }
    });
}

BackgroundCheck::~BackgroundCheck() {
    if (passed_.valid()) {
        sqlite3_interrupt(conn_->handle());
        passed_.wait();
    }
    sqlite3_exec(conn_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool BackgroundCheck::passed() { return passed_.get(); }

}  // namespace engine::detail
