#include "qndb/describe.h"

namespace qndb {

FileDescription describeFile(engine::Database& db) {
    FileDescription description;
    const engine::TableDefCollection tables = db.TableDefs();
    for (const std::string& name : tables.names()) {
        const engine::TableDef table = tables.Item(name);
        description.tables.push_back({name, table.RecordCount(), table.Indexes().all()});
    }
    description.salvage = db.SalvageProblems();
    return description;
}

}  // namespace qndb
