#include "database/repair_c.h"

#include <exception>
#include <filesystem>
#include <functional>

#include "database/engine/store/engine_error.h"
#include "common/hooks.h"
#include "database/index_catalogue.h"
#include "common/messages.h"
#include "platform/paths.h"

namespace {

template <typename T>
T& requireSet(std::shared_ptr<T>& object) {
    if (!object) throw engine::EngineError(engine::ErrorCode::ObjectNotSet, engine::describe::objectNotSet());
    return *object;
}

}  // namespace

bool repairC::trapped(const std::function<bool()>& body) {
    systemFailure_.clear();
    try {
        return body();
    } catch (const engine::EngineError& e) {
        if (engine::refusedBySystem(e)) systemFailure_ = e.what();
        repairM::showErrorBox(e.what());
        return false;
    } catch (const std::exception& e) {
        repairM::showErrorBox(e.what());
        return false;
    }
}

bool repairC::rsopen(engine::DatabasePtr& opendb, engine::RecordsetPtr& openrs) {
    return trapped([&] {
        openrs = requireSet(opendb).OpenRecordset(tablename_, engine::dbOpenTable, engine::dbDenyRead,
                                                  engine::dbOptimistic);
        return true;
    });
}

bool repairC::rsclose(engine::RecordsetPtr& closers) {
    return trapped([&] {
        requireSet(closers).Close();
        closers.reset();
        return true;
    });
}

bool repairC::dbopen(engine::WorkspacePtr& openws, engine::DatabasePtr& opendb) {
    return trapped([&] {
        opendb = requireSet(openws).OpenDatabase(fileName_, false, false,
                                                 msg::kConnectPrefix + password_ + msg::kConnectSuffix);
        return true;
    });
}

bool repairC::dbclose(engine::DatabasePtr& closedb) {
    return trapped([&] {
        requireSet(closedb).Close();
        closedb.reset();
        return true;
    });
}

bool repairC::daoIndexExist(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname) {
    return trapped([&] {
        for (const engine::Index& index : requireSet(opendb).TableDefs().Item(tablename).Indexes().all())
            if (index.Name() == indexname) return true;
        return false;
    });
}

bool repairC::daoFieldExist(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname,
                            const std::string& fieldname) {
    return trapped([&] {
        const engine::Index index = requireSet(opendb).TableDefs().Item(tablename).Indexes().Item(indexname);
        for (long i = 0; i < index.Fields().Count(); ++i)
            if (index.Fields().Item(i).Name() == fieldname) return true;
        return false;
    });
}

bool repairC::daoCreateIndex(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname) {
    return trapped([&] {
        // The table is looked up before the catalogue, so a missing table is an error, not a quiet false.
        engine::Index index = requireSet(opendb).TableDefs().Item(tablename).CreateIndex(indexname);
        const catalogue::IndexDefinition* definition = catalogue::findIndex(tablename, indexname);
        if (definition == nullptr) return false;
        for (const std::string& field : definition->fields) index.Fields().Append(index.CreateField(field));
        index.setPrimary(definition->primary());
        index.setRequired(true);
        index.setUnique(true);
        index.setIgnoreNulls(false);
        opendb->TableDefs().Item(tablename).Indexes().Append(index);
        return true;
    });
}

bool repairC::daoDeleteIndex(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname) {
    return trapped([&] {
        requireSet(opendb).TableDefs().Item(tablename).Indexes().Delete(indexname);
        return true;
    });
}

bool repairC::FileExist() const {
    if (fileName_.empty()) return false;
    std::error_code ec;
    const bool exists = std::filesystem::is_regular_file(platform::toPath(fileName_), ec);
    return exists && !ec;
}
