#include "ui/win32/win32_file_chooser.h"

#include "platform/windows/wide_text.h"

namespace ui::win32 {

namespace {

using platform::windows::wide;

// One entry: the description, then the patterns joined by ";"; every string ends in a NUL and
// the list in one more.
std::wstring filterOf(const FileChooserSettings& settings) {
    std::wstring filter = wide(settings.filterDescription) + L'\0';
    for (std::size_t i = 0; i < settings.patterns.size(); ++i) filter += (i > 0 ? L";" : L"") + wide(settings.patterns[i]);
    return filter + L'\0' + L'\0';
}

DWORD flagsOf(const FileChooserSettings& settings) {
    // The process keeps its current folder: a folder that is some process's current folder cannot
    // be removed or renamed while the window is open.
    DWORD flags = OFN_NOCHANGEDIR;
    if (settings.hideReadOnly) flags |= OFN_HIDEREADONLY;
    if (settings.pathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (settings.fileMustExist) flags |= OFN_FILEMUSTEXIST;
    return flags;
}

// Room for a long path (the manifest declares the program long-path aware).
constexpr std::size_t kPathRoom = 32768;

}  // namespace

std::optional<std::string> chooseDataFile(const Desktop& desktop, HWND owner, const FileChooserSettings& settings) {
    const std::wstring title = wide(settings.title);
    const std::wstring filter = filterOf(settings);
    const std::wstring extension = wide(settings.defaultExtension);
    const std::wstring folder = wide(settings.initialFolder);
    std::wstring file(kPathRoom, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = flagsOf(settings);
    dialog.lpstrDefExt = extension.c_str();
    // Cancelled, or a failure the user has already seen: either way nothing was chosen.
    if (!desktop.openFileName(dialog)) return std::nullopt;
    return platform::windows::utf8(std::wstring(file.c_str()));
}

}  // namespace ui::win32
