#pragma once

#include <array>
#include <string_view>

// The host's kinds of data file, a row each, with every column that a part of the program reads:
// the repair (the key, the word of its messages, the rebuild), the window (the option button and
// the path word that selects it) and qndb (its name, and the letter of the tables it makes).
namespace hostkind {

// Which rebuild repairs a kind: none for the kinds whose indexes the tool does not know.
enum class Rebuild { None, WorkFile, DesignFile };

struct HostKind {
    const char* key;       // compared exactly; also the database password of the kind's files
    const char* word;      // heads the repair's messages: ends in a full-width space and "("
    Rebuild rebuild;
    char tableLetter;      // of its twelve numbered tables ("T000" ...); '\0' when it has none
    const char* option;    // the caption of its option button in the window
    const char* pathWord;  // a chosen path that holds it selects that button
    const char* qndbName;  // its name on qndb's command line
};

// In the order a key is looked up, which is also the order in which a chosen path is searched
// for the path words: "sys" first, so that a path holding it selects "システム" whatever else it holds.
inline constexpr std::array<HostKind, 7> kKinds = {{
    {"QHMOR5136", "システム設定ファイル　(", Rebuild::None, '\0', "システム", "sys", "system"},
    {"QHTEVZ5136", "作業ファイル　(", Rebuild::WorkFile, 'U', "作業", "作業", "work"},
    {"QHWUNK5136", "設計書ファイル　(", Rebuild::DesignFile, 'T', "設計書", "設計書", "design"},
    {"QHRIPO5136", "標準データファイル　(", Rebuild::None, '\0', "標準", "標準", "standard"},
    {"QHGAFE5136", "ユーザーデータファイル　(", Rebuild::None, '\0', "ﾕｰｻﾞｰ", "ﾕｰｻﾞｰ", "user"},
    {"QHZOLU5136", "学習データファイル　(", Rebuild::None, '\0', "学習", "学習", "learning"},
    {"QHBEXI5136", "その他データファイル　(", Rebuild::None, '\0', "その他", "その他", "other"},
}};

inline constexpr const HostKind& kSystem = kKinds[0];
inline constexpr const HostKind& kWork = kKinds[1];
inline constexpr const HostKind& kDesign = kKinds[2];
inline constexpr const HostKind& kStandard = kKinds[3];
inline constexpr const HostKind& kUser = kKinds[4];
inline constexpr const HostKind& kLearning = kKinds[5];
inline constexpr const HostKind& kOther = kKinds[6];

// The kind whose key equals `key` exactly; nullptr for an unknown key.
constexpr const HostKind* findByKey(std::string_view key) {
    for (const HostKind& kind : kKinds)
        if (key == kind.key) return &kind;
    return nullptr;
}

}  // namespace hostkind
