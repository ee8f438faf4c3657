#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/engine/database_file.h"

namespace engine {

// A field of an index: only its name matters here (every field is ascending).
class Field {
public:
    explicit Field(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

class Index;

// The fields of one index, in index order.
class IndexFieldCollection {
public:
    long Count() const { return static_cast<long>(fields_.size()); }
    const Field& Item(long position) const;
    const Field& Item(const std::string& name) const;
    // Only while the index is not yet appended to a table.
    void Append(const Field& field);

private:
    friend class Index;
    explicit IndexFieldCollection(const Index& owner) : owner_(&owner) {}
    const Index* owner_;
    std::vector<Field> fields_;
};

// An index of a table. Made unattached by TableDef::CreateIndex and filled before
// IndexCollection::Append; read back from the file with everything set.
class Index {
public:
    Index(std::string table, std::string name);
    Index(const Index& other);
    Index& operator=(const Index& other);

    const std::string& Name() const { return name_; }
    const std::string& TableName() const { return table_; }
    IndexFieldCollection& Fields() { return fields_; }
    const IndexFieldCollection& Fields() const { return fields_; }
    Field CreateField(const std::string& name) const { return Field(name); }

    bool Primary() const { return primary_; }
    bool Required() const { return required_; }
    bool Unique() const { return unique_; }
    bool IgnoreNulls() const { return ignoreNulls_; }
    void setPrimary(bool value);
    void setRequired(bool value);
    void setUnique(bool value);
    void setIgnoreNulls(bool value);

    bool attached() const { return attached_; }

private:
    friend class IndexCollection;
    void checkChangeable() const;

    std::string table_;
    std::string name_;
    IndexFieldCollection fields_{*this};
    bool primary_ = false;
    bool required_ = false;
    bool unique_ = false;
    bool ignoreNulls_ = false;
    bool attached_ = false;
};

// The indexes of one table, in collection order (the order they were appended).
class IndexCollection {
public:
    // Throws ObjectNotSet for a null file.
    IndexCollection(std::shared_ptr<detail::DatabaseFile> db, std::string table);

    // Each reads the file as it is now: ObjectClosed once it is closed, TableNotFound once the
    // table is gone.
    long Count() const;
    // Throws ItemNotFound for a position outside 0 .. Count() - 1, or a name no index has
    // (compared exactly).
    Index Item(long position) const;
    Index Item(const std::string& name) const;
    std::vector<Index> all() const;
    // Adds `index`, which must not be appended yet, in one transaction: the file never holds half
    // an index. Throws IndexWithoutFields, IndexExists (a name the table has), PrimaryExists (a
    // second primary index), FieldNotInTable, DuplicateValues (values that repeat, for a unique
    // index), NullInRequired (a Null in a field of a required one). Required is then enforced on
    // every later write.
    void Append(Index& index);
    // Removes index `name` in one transaction; ItemNotFound when the table has none of that name.
    void Delete(const std::string& name);

private:
    std::shared_ptr<detail::DatabaseFile> db_;
    std::string table_;
};

}  // namespace engine
