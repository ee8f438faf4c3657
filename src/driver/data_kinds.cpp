#include "data_kinds.h"

#include <array>

#include "rebuild.h"

namespace repairM {

namespace {

const std::array<DataKind, 7> kKinds = {{
    {"QHMOR5136", "システム設定ファイル　(", nullptr},
    {"QHTEVZ5136", "作業ファイル　(", RebuildWorkFile},
    {"QHWUNK5136", "設計書ファイル　(", RebuildDesignFile},
    {"QHRIPO5136", "標準データファイル　(", nullptr},
    {"QHGAFE5136", "ユーザーデータファイル　(", nullptr},
    {"QHZOLU5136", "学習データファイル　(", nullptr},
    {"QHBEXI5136", "その他データファイル　(", nullptr},
}};

}  // namespace

const DataKind* findDataKind(const std::string& key) {
    for (const DataKind& kind : kKinds)
        if (key == kind.key) return &kind;
    return nullptr;
}

}  // namespace repairM
