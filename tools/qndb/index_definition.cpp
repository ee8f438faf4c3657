#include "qndb/index_definition.h"

namespace qndb {

IndexFlags flagsOf(const engine::Index& index) {
    return {index.Primary(), index.Unique(), index.Required(), index.IgnoreNulls()};
}

std::vector<std::string> fieldsOf(const engine::Index& index) {
    std::vector<std::string> fields;
    for (long i = 0; i < index.Fields().Count(); ++i) fields.push_back(index.Fields().Item(i).Name());
    return fields;
}

void appendIndex(const engine::TableDef& table, const std::string& name, const std::vector<std::string>& fields,
                 const IndexFlags& flags) {
    engine::Index index = table.CreateIndex(name);
    for (const std::string& field : fields) index.Fields().Append(index.CreateField(field));
    index.setPrimary(flags.primary);
    index.setUnique(flags.unique);
    index.setRequired(flags.required);
    index.setIgnoreNulls(flags.ignoreNulls);
    table.Indexes().Append(index);
}

}  // namespace qndb
