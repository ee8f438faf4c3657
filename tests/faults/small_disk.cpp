#include "faults/small_disk.h"

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <stdexcept>

namespace faults {

namespace {

constexpr std::uintmax_t kPage = 4096;

bool mountTmpfs(const std::string& folder, std::uintmax_t bytes, unsigned long flags) {
    const std::string options = "size=" + std::to_string((bytes + kPage - 1) / kPage * kPage) + ",mode=0755";
    return ::mount("tmpfs", folder.c_str(), "tmpfs", flags, options.c_str()) == 0;
}

}  // namespace

std::unique_ptr<SmallDisk> SmallDisk::mountOver(const std::string& folder) {
    // Roomy at first: the test fills it, then says how much it may keep free.
    if (!mountTmpfs(folder, std::uintmax_t{1} << 30, 0)) return nullptr;
    return std::unique_ptr<SmallDisk>(new SmallDisk(folder));
}

SmallDisk::~SmallDisk() { ::umount2(folder_.c_str(), MNT_DETACH); }

void SmallDisk::leaveFree(std::uintmax_t bytes) {
    struct statvfs st {};
    if (::statvfs(folder_.c_str(), &st) != 0) throw std::runtime_error("statvfs " + folder_);
    const std::uintmax_t used = static_cast<std::uintmax_t>(st.f_blocks - st.f_bfree) * st.f_frsize;
    if (!mountTmpfs(folder_, used + bytes, MS_REMOUNT)) throw std::runtime_error("remount " + folder_);
}

std::uintmax_t SmallDisk::available() const { return std::filesystem::space(folder_).available; }

}  // namespace faults
