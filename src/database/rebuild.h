#pragma once

#include <string>
#include <vector>

// Sweep the scratch copy's rows with a Null key and re-create every missing or incomplete
// index. `path` only names the file in messages; the scratch copy is what is opened.
bool RebuildWorkFile(const std::string& path, const std::string& password);
bool RebuildDesignFile(const std::string& path, const std::string& password);

// Whether the rebuild of that kind deletes and makes again the index `index` of `table`, whose
// fields are `fields` in index order: an index of the catalogue, on a table the rebuild visits,
// that lacks one of the catalogue's fields for it. Compaction leaves such an index out of the copy.
using RemakesIndex = bool (*)(const std::string& table, const std::string& index, const std::vector<std::string>& fields);
bool WorkFileRemakes(const std::string& table, const std::string& index, const std::vector<std::string>& fields);
bool DesignFileRemakes(const std::string& table, const std::string& index, const std::vector<std::string>& fields);
