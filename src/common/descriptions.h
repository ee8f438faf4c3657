#pragma once

// Every description of a failure that the tool's own steps write, outside the engine's
// (engine_error.h): complete Japanese sentences for the log. `reason` is the system's own words.

#include <string>

namespace repairM::describe {

// Files that a repair reads, writes, copies or replaces.
std::string scratchCopyIsTheFile(const std::string& path);
std::string notFound(const std::string& path, const std::string& reason);
std::string notRegularFile();
std::string readOnlyNotReplaced(const std::string& path);
std::string notRead(const std::string& path, const std::string& reason);
std::string notFlushed(const std::string& path, const std::string& reason);
std::string permissionsNotSet(const std::string& path, const std::string& reason);
std::string notCopied(const std::string& path, const std::string& reason);
std::string notReplaced(const std::string& path, const std::string& reason);
std::string notKept(const std::string& path, const std::string& reason);
std::string stateUnreadable(const std::string& path, const std::string& reason);
std::string beingWritten(const std::string& path);
std::string changedMeanwhile(const std::string& path);
// What is uncertain once a file was replaced: its folder could not be flushed.
std::string folderNotFlushedAfterReplacement(const std::string& folder, const std::string& reason);

// The scratch folder and the tool's own files.
std::string scratchFolderUnusable(const std::string& folder, const std::string& reason);
std::string scratchFolderIsALink();
std::string scratchFolderBusy(const std::string& folder);
std::string toolFolderNotWritable(const std::string& folder, const std::string& reason);
std::string folderNotCreated(const std::string& folder, const std::string& reason);
std::string logNotWritten(const std::string& log, const std::string& reason);
std::string markerNotCreated(const std::string& marker, const std::string& reason);

// FileOperation's operations.
std::string operationRefused(const std::string& path, const std::string& reason);
std::string noSuchFile(const std::string& path);
std::string noSuchFolder(const std::string& path);
std::string alreadyThere(const std::string& path);

}  // namespace repairM::describe
