#include "common/descriptions.h"

namespace repairM::describe {

namespace {
std::string quoted(const std::string& s) { return "'" + s + "'"; }
std::string because(const std::string& reason) { return " (" + reason + ")。"; }
}  // namespace

std::string scratchCopyIsTheFile(const std::string& path) {
    return "ファイル " + quoted(path) + " は修復用の一時ファイルのため、修復できません。";
}
std::string notFound(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を見つけられません" + because(reason);
}
std::string notRegularFile() { return "通常のファイルではありません"; }
std::string readOnlyNotReplaced(const std::string& path) {
    return "ファイル " + quoted(path) + " は読み取り専用のため置き換えられません。";
}
std::string notRead(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を読めません" + because(reason);
}
std::string notFlushed(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " をディスクに書き込めません" + because(reason);
}
std::string permissionsNotSet(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を設定できません" + because(reason);
}
std::string notCopied(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " をコピーできません" + because(reason);
}
std::string notReplaced(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を置き換えられません" + because(reason);
}
std::string notKept(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を残せません" + because(reason);
}
std::string stateUnreadable(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " の状態を調べられません" + because(reason);
}
std::string beingWritten(const std::string& path) {
    return "ファイル " + quoted(path) + " は他のプログラムが書き込み中のため、置き換えませんでした。";
}
std::string changedMeanwhile(const std::string& path) {
    return "ファイル " + quoted(path) + " は修復中に他のプログラムによって変更されたため、置き換えませんでした。";
}
std::string folderNotFlushedAfterReplacement(const std::string& folder, const std::string& reason) {
    return "フォルダー " + quoted(folder) + " をディスクに書き込めませんでした (" + reason +
           ")。停電などがあると、置き換えが失われることがあります";
}

std::string scratchFolderUnusable(const std::string& folder, const std::string& reason) {
    return "修復用の一時フォルダー " + quoted(folder) + " を使えません" + because(reason);
}
std::string scratchFolderIsALink() { return "シンボリック リンクです"; }
std::string scratchFolderBusy(const std::string& folder) {
    return "修復用の一時フォルダー " + quoted(folder) + " は別の修復が使用中です。その修復が終わってからやり直してください。";
}
std::string toolFolderNotWritable(const std::string& folder, const std::string& reason) {
    return "フォルダー " + quoted(folder) + " に書き込めないため、修復できません" + because(reason);
}
std::string folderNotCreated(const std::string& folder, const std::string& reason) {
    return "フォルダー " + quoted(folder) + " を作成できません" + because(reason);
}
std::string logNotWritten(const std::string& log, const std::string& reason) {
    return "ログ ファイル " + quoted(log) + " に書き込めません" + because(reason);
}
std::string markerNotCreated(const std::string& marker, const std::string& reason) {
    return "ファイル " + quoted(marker) + " を作成できません" + because(reason);
}

std::string operationRefused(const std::string& path, const std::string& reason) {
    return quoted(path) + " を操作できません" + because(reason);
}
std::string noSuchFile(const std::string& path) { return quoted(path) + " というファイルが見つかりません。"; }
std::string noSuchFolder(const std::string& path) { return quoted(path) + " というフォルダーが見つかりません。"; }
std::string alreadyThere(const std::string& path) { return quoted(path) + " は既にあります。"; }

}  // namespace repairM::describe
