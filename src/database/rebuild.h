#pragma once

#include <string>

// Sweep the scratch copy's rows with a Null key and re-create every missing or incomplete
// index. `path` only names the file in messages; the scratch copy is what is opened.
bool RebuildWorkFile(const std::string& path, const std::string& password);
bool RebuildDesignFile(const std::string& path, const std::string& password);
