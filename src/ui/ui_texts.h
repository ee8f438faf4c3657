#pragma once

#include <array>

// The window's own texts; its option buttons' captions stand with their kinds in
// window_layout.h. The texts of the messages it shows are shared with the core and stand
// in messages.h.
namespace ui::text {

inline constexpr const char* kCaption = "データファイルの修復";
inline constexpr const char* kVersionWord = " ver ";

inline constexpr const char* kFileHeading = "修復するファイル";
inline constexpr const char* kFilePrompt = "修復するファイルを指定してください。";
inline constexpr const char* kChooseButton = "_";
inline constexpr const char* kKindHeading = "データ種類";
inline constexpr const char* kRepairButton = "修復実行";
inline constexpr const char* kCancelButton = "キャンセル";

// Between a failure message and the offer to open the log: two carriage returns.
inline constexpr const char* kParagraphBreak = "\r\r";

// The file chooser.
inline constexpr const char* kChooserTitle = "修復データファイル";
inline constexpr const char* kFilterDescription = "データ ファイル (*.mdb)(*.tmp)(*.mdc)";
inline constexpr std::array<const char*, 3> kFilterPatterns = {"*.mdb", "*.tmp", "*.mdc"};
inline constexpr const char* kDefaultSuffix = "mdb";

}  // namespace ui::text
