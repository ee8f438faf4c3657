#include "database/index_catalogue.h"

#include <algorithm>

namespace catalogue {

const std::vector<TableIndexes>& indexCatalogue() {
    static const std::vector<TableIndexes> entries = {
        {{"Lock"}, {{"Key00", {"A000"}}}},
        {{"Data"}, {{"Key00", {"A000", "A001", "A002", "A003"}}}},
        {{"T000", "U000"},
         {{"Key00", {"L000", "L001", "L002"}},
          {"Key01", {"L000", "L001", "L004", "L003", "L002"}},
          {"Key02", {"L000", "L001", "L005", "L002"}},
          {"Key03", {"L000", "L001", "L005", "L004", "L003", "L002"}},
          {"Key04", {"L000", "L001", "L006", "L002"}}}},
        {{"T010", "U010", "T020", "U020"},
         {{"Ind00", {"B000", "L000", "A000"}}, {"Key00", {"L000", "A000"}}, {"Key01", {"A004", "L000", "A000"}}}},
        {{"T014", "U014", "T024", "U024"},
         {{"Ind00", {"B000", "L000", "A000"}},
          {"Key00", {"L000", "A000"}},
          {"Key01", {"L000", "A004", "D000", "D001"}},
          {"Key02", {"L000", "A005", "D000", "D001", "A000"}}}},
        {{"T030", "U030"}, {{"Ind00", {"B000", "L000"}}, {"Key00", {"L000"}}, {"Key01", {"L001", "L000"}}}},
        {{"T031", "U031"}, {{"Ind00", {"B000", "L000", "L001"}}, {"Key00", {"L000", "L001"}}}},
        {{"T040", "U040"},
         {{"Ind00", {"B000", "L000", "L001", "L002"}},
          {"Key00", {"L000", "L001", "L002"}},
          {"Key01", {"L000", "A000", "L001", "L002"}},
          {"Key02", {"L000", "L001", "A004", "L002"}}}},
        {{"T041", "U041"},
         {{"Key00", {"L000", "L001", "L002", "I000", "L004"}},
          {"Key01", {"L000", "L001", "L002", "I000", "A001", "L004"}}}},
        {{"T042", "U042"}, {{"Key00", {"L000", "L001", "L002", "I000", "A001"}}}},
        {{"T043", "U043"},
         {{"Key00", {"L000", "L001", "L002", "I000", "L010", "L003", "L011"}},
          {"Key01", {"L000", "L001", "L002", "I000", "L011", "L010"}}}},
        {{"T090", "U090"},
         {{"Ind00", {"B000", "L000", "L001"}},
          {"Key00", {"L000", "L001"}},
          {"Key01", {"L000", "L002", "L004", "L003", "L001"}},
          {"Key02", {"L000", "L010", "L001"}}}},
    };
    return entries;
}

const std::vector<IndexDefinition>& indexesOf(const std::string& table) {
    static const std::vector<IndexDefinition> none;
    for (const TableIndexes& entry : indexCatalogue())
        if (std::find(entry.tables.begin(), entry.tables.end(), table) != entry.tables.end()) return entry.indexes;
    return none;
}

std::vector<std::string> numberedTables(char letter) {
    static const char* const numbers[] = {"000", "010", "014", "020", "024", "030",
                                          "031", "040", "041", "042", "043", "090"};
    std::vector<std::string> tables;
    for (const char* number : numbers) tables.push_back(letter + std::string(number));
    return tables;
}

const IndexDefinition* findIndex(const std::string& table, const std::string& index) {
    for (const IndexDefinition& definition : indexesOf(table))
        if (definition.name == index) return &definition;
    return nullptr;
}

}  // namespace catalogue
