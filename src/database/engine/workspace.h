#pragma once

#include <memory>
#include <string>

#include "database/engine/database.h"

namespace engine {

// A session logged on as one account of the workgroup file.
class Workspace {
public:
    Workspace(std::string name, std::string user) : name_(std::move(name)), user_(std::move(user)) {}

    const std::string& Name() const { return name_; }
    const std::string& UserName() const { return user_; }

    // Opens the data file `name`; `connect` carries its password as ";PWD=<password>;" (an empty
    // one for a file without). Exclusive keeps every other connection out until it is closed.
    // Throws ObjectClosed after Close, FileNotFound, NotOurFormat (a file that is no data file of
    // ours, or that cannot be read as one), WrongPassword, FileLocked, ReadOnly, DiskIo.
    DatabasePtr OpenDatabase(const std::string& name, bool exclusive, bool readOnly, const std::string& connect);
    // The databases it opened stay open.
    void Close() { open_ = false; }

private:
    std::string name_;
    std::string user_;
    bool open_ = true;
};

using WorkspacePtr = std::shared_ptr<Workspace>;

}  // namespace engine
