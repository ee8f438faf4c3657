#include "data_kinds.h"

#include <array>

#include "host_kinds.h"
#include "rebuild.h"

namespace repairM {

namespace {

const std::array<DataKind, 7> kKinds = {{
    {hostkind::kSystemKey, "システム設定ファイル　(", nullptr, nullptr},
    {hostkind::kWorkKey, "作業ファイル　(", RebuildWorkFile, WorkFileRemakes},
    {hostkind::kDesignKey, "設計書ファイル　(", RebuildDesignFile, DesignFileRemakes},
    {hostkind::kStandardKey, "標準データファイル　(", nullptr, nullptr},
    {hostkind::kUserKey, "ユーザーデータファイル　(", nullptr, nullptr},
    {hostkind::kLearningKey, "学習データファイル　(", nullptr, nullptr},
    {hostkind::kOtherKey, "その他データファイル　(", nullptr, nullptr},
}};

}  // namespace

const DataKind* findDataKind(const std::string& key) {
    for (const DataKind& kind : kKinds)
        if (key == kind.key) return &kind;
    return nullptr;
}

}  // namespace repairM
