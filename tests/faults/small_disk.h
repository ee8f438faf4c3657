#pragma once

// A real disk that fills up: a tmpfs mounted over a folder for the length of a test.

#include <cstdint>
#include <memory>
#include <string>

namespace faults {

class SmallDisk {
public:
    // Mounts an empty tmpfs over `folder`, hiding what it held until the disk goes; null when the
    // system refuses (a user that may not mount).
    static std::unique_ptr<SmallDisk> mountOver(const std::string& folder);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Resizes the disk to what it holds now and `bytes` more.
    void leaveFree(std::uintmax_t bytes);
    std::uintmax_t available() const;

private:
    explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {}
    std::string folder_;
};

}  // namespace faults
