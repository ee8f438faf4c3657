#pragma once

#include <string>
#include <vector>

namespace ui {

// How a file chooser is set up, as data, so that each view sets up its platform's own
// dialog from the same description.
struct FileChooserSettings {
    std::string title;
    std::string defaultExtension;   // without the dot
    std::string filterDescription;  // the filter's one entry, as the user reads it
    std::vector<std::string> patterns;
    bool hideReadOnly;  // no "open as read-only" choice
    bool pathMustExist;
    bool fileMustExist;
    std::string initialFolder;
};

// The chooser of a host data file, opening in `initialFolder`.
FileChooserSettings dataFileChooser(const std::string& initialFolder);

}  // namespace ui
