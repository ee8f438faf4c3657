#pragma once

#include <memory>
#include <string>
#include <vector>

namespace engine {

class Database;

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
    IndexCollection(std::shared_ptr<Database> db, std::string table);

    long Count() const;
    Index Item(long position) const;
    Index Item(const std::string& name) const;
    std::vector<Index> all() const;
    // One transaction each: the file never holds half an index.
    void Append(Index& index);
    void Delete(const std::string& name);

private:
    std::shared_ptr<Database> db_;
    std::string table_;
};

}  // namespace engine
