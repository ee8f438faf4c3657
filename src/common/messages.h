#pragma once

// The fixed texts of the program's design: file names, the pieces of its log and message-box texts,
// account names. Messages are built by plain concatenation of these pieces, e.g.
// kFile + path + kTailNotRepaired. The full-width space (U+3000) before "(" is part of the words.
// The kind words stand with their kinds (database/host_kinds.h), the window's own captions in
// ui/ui_texts.h, and the descriptions of failures, which follow these pieces in a log line, in
// descriptions.h (the engine's in engine_error.h).
namespace msg {

// Files below the tool's directory (joined with platform::kSeparator).
inline constexpr const char* kFilePrefix = "QN";
inline constexpr const char* kLogName = "repair.txt";
inline constexpr const char* kMarkerName = "repair.dat";
inline constexpr const char* kWorkgroupName = "sys.mdw";
inline constexpr const char* kScratchFolderName = "temp";
inline constexpr const char* kScratchFileName = "repair.mdb";

// The account every repair logs on with.
inline constexpr const char* kWorkspaceName = "USER";
inline constexpr const char* kWorkspaceUser = "QNﾕｰｻﾞｰ";
inline constexpr const char* kWorkspacePassword = "RW3917";

// Connect string around a database password.
inline constexpr const char* kConnectPrefix = ";PWD=";
inline constexpr const char* kConnectSuffix = ";";

// Command-line keys.
inline constexpr const char* kDataSourceKey = "Data Source";
inline constexpr const char* kPasswordKey = "Database Password";

// Message-box titles.
inline constexpr const char* kErrorTitle = "エラー";
inline constexpr const char* kConfirmTitle = "確認";

// Kind words and other heads of messages (each ends in U+3000 and "(").
inline constexpr const char* kFile = "ファイル　(";
inline constexpr const char* kFileToRepair = "修復するファイル　(";
inline constexpr const char* kThisFile = "このファイル　(";
inline constexpr const char* kWorkKindHead = "作業";

// Tails.
inline constexpr const char* kTailNoSetup = ") がありません、セットアップを確認してください。";
inline constexpr const char* kTailMissing = ") がありません。";
inline constexpr const char* kTailNotRepaired = ") を修復できませんでした。";
inline constexpr const char* kTailRepaired = ") を修復しました。";
inline constexpr const char* kTailNoPathName = ") のパス名、ファイル名を取得できませんでした。";
inline constexpr const char* kTailNotCompacted = ") を最適化できませんでした。";
inline constexpr const char* kTailNotReplaced = ") を置き換えできませんでした。";
inline constexpr const char* kTailCannotRepair = ") は修復できません。";
inline constexpr const char* kTailNotOpened = ") を開けませんでした。";
inline constexpr const char* kTable = ") のテーブル(";
inline constexpr const char* kIndex = ") のインデックス（";
inline constexpr const char* kTailIndexNotDeleted = "）を削除できませんでした。";
inline constexpr const char* kTailIndexNotCreated = "）を作成できませんでした。";
inline constexpr const char* kTailOperationFailed = "できませんでした。";
inline constexpr const char* kAskOpenLog = "ログを確認しますか。";

// What a repair of a damaged file could not bring back, e.g.
// kFile + path + kTable + table + kRowsOf + count + kRowsNotTaken [+ kUnnamedRowsHead + unnamed +
// kUnnamedRowsTail], then for each lost row named: kFile + path + kTable + table + kRowKeyOf + key +
// kTailRowNotTaken.
inline constexpr const char* kRowsOf = ") の行を ";
inline constexpr const char* kRowsNotTaken = " 行取り出せませんでした。";
inline constexpr const char* kUnnamedRowsHead = "うち ";
inline constexpr const char* kUnnamedRowsTail = " 行はキーが分かりません。";
inline constexpr const char* kRowKeyOf = ") の行（";
inline constexpr const char* kTailRowNotTaken = "）を取り出せませんでした。";
inline constexpr const char* kRowsUnverified = ") の行をすべて取り出せたかどうか確かめられませんでした。";
inline constexpr const char* kRowsOfNoTable = ") のどのテーブルのものか分からない行を ";
inline constexpr const char* kTailVerifierRenewed =
    ") のパスワードの検証情報が失われていたため、指定されたパスワードで作り直しました。";
inline constexpr const char* kKeptOriginal = ") の修復前のファイルを ";
inline constexpr const char* kTailKept = " として残しました。";
// What is uncertain about a replacement that was made, e.g. kFile + path + kReplacedBut + reason + "。".
inline constexpr const char* kReplacedBut = ") を置き換えましたが、";
// The window's word after a repair that lost rows: kRowsLostNotice when none could be counted,
// else kRowsLostHead (kRowsLostAtLeastHead when some could not be) + count + kRowsLostTail +
// kRowsNamedHead + named + kRowsNamedTail.
inline constexpr const char* kRowsLostNotice = "取り出せなかった行があります。";
inline constexpr const char* kRowsLostHead = "取り出せなかった行が ";
inline constexpr const char* kRowsLostAtLeastHead = "取り出せなかった行が少なくとも ";
inline constexpr const char* kRowsLostTail = " 行あります。";
inline constexpr const char* kRowsNamedHead = "そのうち ";
inline constexpr const char* kRowsNamedTail = " 行のキーをログに記しました。";

}  // namespace msg
