#include "ui/data_file_chooser.h"

#include "ui/ui_texts.h"

namespace ui {

FileChooserSettings dataFileChooser(const std::string& initialFolder) {
    return {
        .title = text::kChooserTitle,
        .defaultExtension = text::kDefaultSuffix,
        .filterDescription = text::kFilterDescription,
        .patterns = {text::kFilterPatterns.begin(), text::kFilterPatterns.end()},
        .hideReadOnly = true,
        .pathMustExist = true,
        .fileMustExist = true,
        .initialFolder = initialFolder,
    };
}

}  // namespace ui
