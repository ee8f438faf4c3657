#pragma once

#include <memory>
#include <string>

#include "database.h"

namespace engine {

// A session logged on as one account of the workgroup file.
class Workspace {
public:
    Workspace(std::string name, std::string user) : name_(std::move(name)), user_(std::move(user)) {}

    const std::string& Name() const { return name_; }
    const std::string& UserName() const { return user_; }

    // `connect` carries the password as ";PWD=<password>;".
    DatabasePtr OpenDatabase(const std::string& name, bool exclusive, bool readOnly, const std::string& connect);
    void Close() { open_ = false; }

private:
    std::string name_;
    std::string user_;
    bool open_ = true;
};

using WorkspacePtr = std::shared_ptr<Workspace>;

}  // namespace engine
