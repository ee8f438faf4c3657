#include "background_check.h"

#include "engine_error.h"
#include "index_proof.h"

namespace engine::detail {

BackgroundCheck::BackgroundCheck(std::shared_ptr<Connection> conn, std::function<void(Connection&)> first)
    : conn_(std::move(conn)) {
    conn_->exec("BEGIN");
    // The first read takes the read lock that the transaction keeps.
    conn_->queryInt("SELECT count(*) FROM sqlite_schema");
    Connection& checked = *conn_;
    passed_ = std::async(std::launch::async, [this, &checked, first = std::move(first)] {
        if (first) first(checked);
        // An interruption reaches only a statement that runs: one not yet begun is not begun.
        if (stopped_) return false;
        try {
            return checked.quickCheck() == "ok" && indexesAgreeWithTables(checked);
        } catch (const EngineError& e) {
            if (!showsDamage(e)) throw;
            return false;
        }
    });
}

BackgroundCheck::~BackgroundCheck() {
    if (passed_.valid()) {
        stopped_ = true;
        sqlite3_interrupt(conn_->handle());
        passed_.wait();
    }
    sqlite3_exec(conn_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool BackgroundCheck::passed() { return passed_.get(); }

}  // namespace engine::detail
