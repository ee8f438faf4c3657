#include "database/engine/index.h"

#include <algorithm>

#include "database/engine/database_file.h"
#include "database/engine/store/engine_error.h"
#include "database/engine/store/index_store.h"

namespace engine {

namespace {

Index toIndex(const std::string& table, const detail::IndexRecord& record);

}  // namespace

const Field& IndexFieldCollection::Item(long position) const {
    if (position < 0 || position >= Count())
        throw EngineError(ErrorCode::ItemNotFound, describe::positionOutOfRange(position));
    return fields_[static_cast<std::size_t>(position)];
}

const Field& IndexFieldCollection::Item(const std::string& name) const {
    const auto found = std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) { return f.Name() == name; });
    if (found == fields_.end())
        throw EngineError(ErrorCode::ItemNotFound, describe::fieldNotInIndex(owner_->Name(), name));
    return *found;
}

void IndexFieldCollection::Append(const Field& field) {
    if (owner_->attached()) throw EngineError(ErrorCode::InvalidArgument, describe::indexAlreadyAppended(owner_->Name()));
    fields_.push_back(field);
}

Index::Index(std::string table, std::string name) : table_(std::move(table)), name_(std::move(name)) {}

Index::Index(const Index& other)
    : table_(other.table_), name_(other.name_), primary_(other.primary_), required_(other.required_),
      unique_(other.unique_), ignoreNulls_(other.ignoreNulls_), attached_(other.attached_) {
    fields_.fields_ = other.fields_.fields_;
}

Index& Index::operator=(const Index& other) {
    if (this == &other) return *this;
    table_ = other.table_;
    name_ = other.name_;
    fields_.fields_ = other.fields_.fields_;
    primary_ = other.primary_;
    required_ = other.required_;
    unique_ = other.unique_;
    ignoreNulls_ = other.ignoreNulls_;
    attached_ = other.attached_;
    return *this;
}

void Index::checkChangeable() const {
    if (attached_) throw EngineError(ErrorCode::InvalidArgument, describe::indexAlreadyAppended(name_));
}

void Index::setPrimary(bool value) {
    checkChangeable();
    primary_ = value;
}
void Index::setRequired(bool value) {
    checkChangeable();
    required_ = value;
}
void Index::setUnique(bool value) {
    checkChangeable();
    unique_ = value;
}
void Index::setIgnoreNulls(bool value) {
    checkChangeable();
    ignoreNulls_ = value;
}

IndexCollection::IndexCollection(std::shared_ptr<detail::DatabaseFile> db, std::string table)
    : db_(std::move(db)), table_(std::move(table)) {
    detail::requireObject(db_.get());
}

std::vector<Index> IndexCollection::all() const {
    detail::Connection& conn = db_->connection();
    detail::requireTable(conn, table_);
    std::vector<Index> indexes;
    for (const detail::IndexRecord& record : db_->indexCache().of(conn, table_)) {
        Index index = toIndex(table_, record);
        index.attached_ = true;
        indexes.push_back(std::move(index));
    }
    return indexes;
}

long IndexCollection::Count() const { return static_cast<long>(all().size()); }

Index IndexCollection::Item(long position) const {
    std::vector<Index> indexes = all();
    if (position < 0 || position >= static_cast<long>(indexes.size()))
        throw EngineError(ErrorCode::ItemNotFound, describe::positionOutOfRange(position));
    return indexes[static_cast<std::size_t>(position)];
}

Index IndexCollection::Item(const std::string& name) const {
    for (Index& index : all())
        if (index.Name() == name) return index;
    throw EngineError(ErrorCode::ItemNotFound, describe::indexNotFound(table_, name));
}

void IndexCollection::Append(Index& index) {
    if (index.attached()) throw EngineError(ErrorCode::InvalidArgument, describe::indexAlreadyAppended(index.Name()));
    detail::IndexRecord record;
    record.name = index.Name();
    for (long i = 0; i < index.Fields().Count(); ++i) record.fields.push_back(index.Fields().Item(i).Name());
    record.primary = index.Primary();
    record.required = index.Required();
    record.unique = index.Unique();
    record.ignoreNulls = index.IgnoreNulls();
    detail::appendIndex(db_->connection(), table_, record);
    index.attached_ = true;
}

void IndexCollection::Delete(const std::string& name) { detail::deleteIndex(db_->connection(), table_, name); }

namespace {

Index toIndex(const std::string& table, const detail::IndexRecord& record) {
    Index index(table, record.name);
    for (const std::string& field : record.fields) index.Fields().Append(index.CreateField(field));
    index.setPrimary(record.primary);
    index.setRequired(record.required);
    index.setUnique(record.unique);
    index.setIgnoreNulls(record.ignoreNulls);
    return index;
}

}  // namespace

}  // namespace engine
