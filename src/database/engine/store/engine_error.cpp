#include "database/engine/store/engine_error.h"

namespace engine {

void detail::requireObject(const void* parent) {
    if (parent == nullptr) throw EngineError(ErrorCode::ObjectNotSet, describe::objectNotSet());
}

}  // namespace engine

namespace engine::describe {

namespace {
std::string quoted(const std::string& s) { return "'" + s + "'"; }

// Sizes as Windows shows them, in MB of 1,048,576 bytes, to two decimals: the sizes compared may be close.
std::string megabytes(std::uintmax_t bytes) {
    const std::uintmax_t hundredths = (bytes * 100 + (1U << 19)) >> 20;
    const std::string fraction = std::to_string(hundredths % 100);
    return std::to_string(hundredths / 100) + "." + (fraction.size() == 1 ? "0" : "") + fraction + " MB";
}
}  // namespace

std::string fileNotFound(const std::string& path) {
    return "ファイル " + quoted(path) + " が見つかりません。";
}
std::string notOurFormat(const std::string& path) {
    return "ファイル " + quoted(path) + " はこのツールのデータ ファイルではないか、壊れています。";
}
std::string damaged(const std::string& path, const std::string& detail) {
    return "ファイル " + quoted(path) + " は壊れています (" + detail + ")。";
}
std::string wrongPassword(const std::string& path) {
    return "ファイル " + quoted(path) + " のパスワードが違います。";
}
std::string invalidAccount(const std::string& user) {
    return "アカウント名 " + quoted(user) + " またはそのパスワードが違います。";
}
std::string workgroupNotSet() {
    return "ワークグループ情報ファイルが指定されていません。";
}
std::string workgroupMissing(const std::string& path) {
    return "ワークグループ情報ファイル " + quoted(path) + " が見つかりません。";
}
std::string workgroupForeign(const std::string& path) {
    return "ファイル " + quoted(path) + " はワークグループ情報ファイルではないか、壊れています。";
}
std::string tableNotFound(const std::string& table) {
    return "テーブル " + quoted(table) + " が見つかりません。";
}
std::string indexExists(const std::string& table, const std::string& index) {
    return "テーブル " + quoted(table) + " にはインデックス " + quoted(index) + " が既にあります。";
}
std::string indexNotFound(const std::string& table, const std::string& index) {
    return "テーブル " + quoted(table) + " にインデックス " + quoted(index) + " がありません。";
}
std::string fieldNotInTable(const std::string& table, const std::string& field) {
    return "テーブル " + quoted(table) + " にフィールド " + quoted(field) + " がありません。";
}
std::string fieldNotInIndex(const std::string& index, const std::string& field) {
    return "インデックス " + quoted(index) + " にフィールド " + quoted(field) + " がありません。";
}
std::string itemNotFound(const std::string& name) {
    return "コレクションに " + quoted(name) + " という項目がありません。";
}
std::string positionOutOfRange(long position) {
    return "コレクションに " + std::to_string(position) + " 番目の項目がありません。";
}
std::string primaryExists(const std::string& table) {
    return "テーブル " + quoted(table) + " には主キーが既にあります。";
}
std::string duplicateValues(const std::string& table, const std::string& index) {
    return "テーブル " + quoted(table) + " に値の重複する行があるため、インデックス " + quoted(index) +
           " を重複なしにできません。";
}
std::string nullInRequired(const std::string& table, const std::string& index) {
    return "テーブル " + quoted(table) + " に値のない行があるため、インデックス " + quoted(index) +
           " を値の入力必須にできません。";
}
std::string nullInRequiredWrite(const std::string& detail) {
    return "入力必須のフィールドに値がありません (" + detail + ")。";
}
std::string duplicateWrite(const std::string& detail) {
    return "重複なしのインデックスに同じ値を書き込もうとしました (" + detail + ")。";
}
std::string indexWithoutFields(const std::string& index) {
    return "インデックス " + quoted(index) + " にフィールドがありません。";
}
std::string indexAlreadyAppended(const std::string& index) {
    return "インデックス " + quoted(index) + " は追加済みのため変更できません。";
}
std::string destinationExists(const std::string& path) {
    return "最適化先のファイル " + quoted(path) + " が既にあります。";
}
std::string fileExists(const std::string& path) {
    return "ファイル " + quoted(path) + " が既にあります。";
}
std::string fileLocked(const std::string& path) {
    return "ファイル " + quoted(path) + " は他のプロセスが使用中です。";
}
std::string objectClosed() { return "オブジェクトは既に閉じられています。"; }
std::string objectNotSet() { return "オブジェクトが設定されていません。"; }
std::string noCurrentRecord() { return "カレント レコードがありません。"; }
std::string diskFull(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " を書き込む領域がディスクにありません" + (reason.empty() ? "" : " (" + reason + ")") +
           "。";
}
std::string noRoomFor(const std::string& path, std::uintmax_t available, std::uintmax_t needed, bool atLeast) {
    return diskFull(path, "空き " + megabytes(available) + "、必要 " + megabytes(needed) + (atLeast ? " 以上" : ""));
}
std::string readFailed(const std::string& path, std::int64_t offset, const std::string& reason) {
    return "ファイル " + quoted(path) + " を位置 " + std::to_string(offset) + " から読めませんでした (" + reason + ")。";
}
std::string writeFailed(const std::string& path, std::int64_t offset, const std::string& reason) {
    return "ファイル " + quoted(path) + " に位置 " + std::to_string(offset) + " から書き込めませんでした (" + reason + ")。";
}
std::string flushFailed(const std::string& path, const std::string& reason) {
    return "ファイル " + quoted(path) + " をディスクに書き込めませんでした (" + reason + ")。";
}
std::string diskIo(const std::string& path, const std::string& detail) {
    return "ファイル " + quoted(path) + " の読み書きでエラーが発生しました (" + detail + ")。";
}
std::string limitReached(const std::string& path, const std::string& detail) {
    return "ファイル " + quoted(path) + " が SQLite の扱える大きさを超えます (" + detail + ")。";
}
std::string readOnly(const std::string& path) {
    return "ファイル " + quoted(path) + " は読み取り専用のため書き込めません。";
}
std::string sidecarUnusable(const std::string& path, const std::string& sidecar, const std::string& detail) {
    return "ファイル " + quoted(path) + " の復旧用ファイル " + quoted(sidecar) + " を読み書きまたは削除できません (" +
           detail + ")。";
}
std::string wrongValueCount(const std::string& table, std::size_t expected, std::size_t given) {
    return "テーブル " + quoted(table) + " の行には " + std::to_string(expected) + " 個の値が必要ですが、" +
           std::to_string(given) + " 個が渡されました。";
}
std::string bookkeepingReadByColumnOrder(const std::string& table) {
    return "管理用の表 " + table + " の定義が壊れていたため、列の順に読みました";
}
std::string bookkeepingUnreadable(const std::string& table) {
    return "管理用の表 " + table + " の定義が壊れていたため、読めませんでした";
}
std::string bookkeepingDefinitionDamaged(const std::string& table) {
    return "管理用の表 " + table + " の定義が壊れています";
}
std::string bookkeepingMissing(const std::string& table) { return "管理用の表 " + table + " がありません"; }
std::string indexDefinitionLost(const std::string& index) {
    return "インデックス " + quoted(index) + " の定義が失われていたため、除きました";
}
std::string indexNotRemade(const std::string& index, const std::string& reason) {
    return "インデックス " + quoted(index) + " を作り直せなかったため、除きました (" + reason + ")";
}
std::string indexDisagreedRemade(const std::string& index) {
    return "インデックス " + quoted(index) + " が表と食い違っていたため、作り直しました";
}
std::string indexDisagreedLeftOut(const std::string& index, const std::string& reason) {
    return "インデックス " + quoted(index) + " が表と食い違い、作り直せなかったため、除きました (" + reason + ")";
}
std::string unlistedIndexDisagrees() { return "管理用の表にないインデックスが表と食い違っています"; }
std::string salvaged() { return "ファイルが壊れていたため、読める行とインデックスだけを取り出しました"; }
std::string recoveryStopped(const std::string& reason) {
    return "SQLite の回復処理が途中で止まりました (" + reason + ")";
}
std::string noReadableTable() { return "読み出せる表がありません"; }
std::string rowsNotTaken(std::int64_t rows, bool ofNoTable, std::int64_t unnamed) {
    return std::string(ofNoTable ? "どのテーブルのものか分からない " : "") + std::to_string(rows) +
           " 行を取り出せませんでした" +
           (unnamed > 0 ? " (うち " + std::to_string(unnamed) + " 行はキーが分かりません)" : "");
}
std::string rowsUnverified() { return "行をすべて取り出せたかどうか確かめられませんでした"; }
std::string verifierRenewed() {
    return "パスワードの検証情報が失われていたため、指定されたパスワードで作り直しました";
}
std::string sqliteTemporaryFile() { return "SQLite の一時ファイル"; }
std::string notARegularFile() { return "通常のファイルではありません"; }
std::string invalidName(const std::string& name) {
    return "名前 " + quoted(name) + " は使用できません。";
}
std::string unexpected(const std::string& detail) {
    return "データベース エンジンで予期しないエラーが発生しました (" + detail + ")。";
}

}  // namespace engine::describe
