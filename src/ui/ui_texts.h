#pragma once

#include <array>

#include "host_kinds.h"

// The window's own texts and its table of data kinds. The texts of the messages it shows
// are shared with the core and stand in messages.h.
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
inline constexpr std::array<const char*, 3> kFilterSuffixes = {"mdb", "tmp", "mdc"};
inline constexpr const char* kDefaultSuffix = "mdb";

// One option button per kind of host data file. `key` is handed to the repair and is the
// file's database password; `pathWord` selects the button when the chosen path holds it.
struct KindOption {
    const char* caption;
    const char* key;
    const char* pathWord;
};

inline constexpr std::array<KindOption, 7> kKindOptions = {{
    {"作業", hostkind::kWorkKey, "作業"},
    {"設計書", hostkind::kDesignKey, "設計書"},
    {"標準", hostkind::kStandardKey, "標準"},
    {"ﾕｰｻﾞｰ", hostkind::kUserKey, "ﾕｰｻﾞｰ"},
    {"学習", hostkind::kLearningKey, "学習"},
    {"その他", hostkind::kOtherKey, "その他"},
    {"システム", hostkind::kSystemKey, "sys"},
}};

// The option set when the window opens ("設計書").
inline constexpr int kInitialOption = 1;

// The order in which path words are looked for: "sys" before the others, so a path that
// holds it selects "システム" whatever else it holds.
inline constexpr std::array<int, 7> kPathWordOrder = {6, 0, 1, 2, 3, 4, 5};

}  // namespace ui::text
