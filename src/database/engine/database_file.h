#pragma once

// Internal to the object model: an open data file, as a Database and the objects made from it
// share it. Table definitions and index collections hold the file, not the Database, and find it
// closed once the Database is closed.

#include <memory>
#include <string>

namespace engine::detail {

class Connection;
class IndexCache;

class DatabaseFile : public std::enable_shared_from_this<DatabaseFile> {
public:
    // Throws ObjectNotSet for a null connection.
    explicit DatabaseFile(std::shared_ptr<Connection> conn);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile&) = delete;
    DatabaseFile& operator=(const DatabaseFile&) = delete;

    const std::string& path() const { return path_; }
    bool isOpen() const { return conn_ != nullptr; }
    // Each throws ObjectClosed once the file is closed.
    Connection& connection() const;
    // For a recordset, which keeps the connection for as long as it is open.
    std::shared_ptr<Connection> sharedConnection() const;
    IndexCache& indexCache() const;
    void close();

private:
    std::shared_ptr<Connection> conn_;
    std::unique_ptr<IndexCache> indexCache_;
    std::string path_;
};

}  // namespace engine::detail
