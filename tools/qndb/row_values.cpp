#include "qndb/row_values.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string_view>

#include "qndb/table_layout.h"

namespace qndb {

namespace {

constexpr std::size_t kMinPayloadChars = 100;
constexpr std::size_t kMaxPayloadChars = 300;
constexpr std::size_t kBytesPerChar = 3;

// Remarks as a clerk would type them. Every character takes three bytes in UTF-8, so a
// payload can be cut to its length without splitting a character.
constexpr std::array<std::string_view, 16> kPhrases = {
    "得意先より納期の前倒しについて相談あり。",
    "出荷前に数量と品番を再確認すること。",
    "前回の注文と同じ条件で見積もりを作成済み。",
    "担当者不在のため、折り返しの連絡を待っている。",
    "請求書の宛名変更の依頼を受けた。",
    "在庫が不足しているため、分納で対応する。",
    "検品時に外箱の破損を確認、写真を保存した。",
    "次回から梱包材を簡易なものに変更する予定。",
    "月末締めの翌月末払いで合意している。",
    "仕様変更に伴い、図面を改訂して再送した。",
    "工程の遅れは二日以内に取り戻せる見込み。",
    "単価の改定は来月の受注分から適用する。",
    "サンプルを三点送付し、評価結果を待っている。",
    "納品書と現品の数量に差異があり、調査中。",
    "倉庫の移転に伴い、保管場所を変更した。",
    "品質記録は所定の書式で保管すること。",
};

constexpr bool allThreeByteCharacters(std::string_view text) {
    if (text.size() % kBytesPerChar != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += kBytesPerChar) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto second = static_cast<unsigned char>(text[i + 1]);
        const auto third = static_cast<unsigned char>(text[i + 2]);
        if ((lead & 0xF0) != 0xE0 || (second & 0xC0) != 0x80 || (third & 0xC0) != 0x80) return false;
    }
    return true;
}
static_assert(std::all_of(kPhrases.begin(), kPhrases.end(), allThreeByteCharacters));

// SplitMix64: a cheap, well-mixed step for the per-row payload choices.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::mt19937_64 generatorFor(const std::string& table, std::uint64_t seed) {
    std::vector<std::uint32_t> words = {static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)};
    for (const char c : table) words.push_back(static_cast<unsigned char>(c));
    std::seed_seq sequence(words.begin(), words.end());
    return std::mt19937_64(sequence);
}

}  // namespace

RowMaker::RowMaker(const std::vector<engine::ColumnDef>& columns, const std::string& table, std::uint64_t seed) {
    std::mt19937_64 generator = generatorFor(table, seed);
    const auto draw = [&](std::uint64_t range) { return generator() % range; };
    for (const engine::ColumnDef& def : columns) {
        const auto base = static_cast<std::int64_t>(draw(1'000'000));
        const auto stride = static_cast<std::int64_t>(draw(50)) * 2 + 1;
        const auto first = static_cast<char>('A' + draw(26));
        const auto second = static_cast<char>('A' + draw(26));
        columns_.push_back({def.type, def.name == kPayloadColumn, base, stride, {first, second}});
    }
    payloadSeed_ = generator();
}

void RowMaker::fill(std::int64_t number, std::vector<engine::FieldValue>& row) const {
    row.resize(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) row[i] = value(columns_[i], number);
}

engine::FieldValue RowMaker::value(const Column& column, std::int64_t number) const {
    if (column.payload) return payload(number);
    const std::int64_t step = column.base + number * column.stride;
    switch (column.type) {
    case engine::FieldType::Long: return step;
    case engine::FieldType::Byte: return step % 256;
    case engine::FieldType::Integer: return step % 32768;
    case engine::FieldType::Double: return static_cast<double>(step) / 4.0;
    case engine::FieldType::Text: break;
    }
    char code[24];
    std::snprintf(code, sizeof code, "%c%c%010lld", column.letters[0], column.letters[1], static_cast<long long>(step));
    return std::string(code);
}

std::string RowMaker::payload(std::int64_t number) const {
    std::uint64_t state = mix(payloadSeed_ ^ static_cast<std::uint64_t>(number));
    const std::size_t chars = kMinPayloadChars + state % (kMaxPayloadChars - kMinPayloadChars + 1);
    std::string text;
    text.reserve(chars * kBytesPerChar + 64);
    while (text.size() < chars * kBytesPerChar) {
        state = mix(state);
        text += kPhrases[state % kPhrases.size()];
    }
    text.resize(chars * kBytesPerChar);
    return text;
}

}  // namespace qndb
