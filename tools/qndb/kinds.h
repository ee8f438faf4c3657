#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qndb {

// One kind of host data file: its name on the command line, the password the host opens it
// with, and the letter of its twelve numbered tables ('\0' when it has none).
struct FileKind {
    std::string_view name;
    std::string_view key;
    char tableLetter;
};

const std::vector<FileKind>& fileKinds();

// nullptr for a word that names no kind.
const FileKind* findKind(std::string_view name);

// The tables of a new file of `kind`, in the order they are created.
std::vector<std::string> tablesOf(const FileKind& kind);

}  // namespace qndb
