#include "qndb/describe_format.h"

#include "qndb/index_definition.h"
#include "qndb/json_text.h"

namespace qndb {

namespace {

template <typename Items, typename Render>
std::string joined(const Items& items, const char* separator, Render render) {
    std::string out;
    bool first = true;
    for (const auto& item : items) {
        if (!first) out += separator;
        out += render(item);
        first = false;
    }
    return out;
}

const char* jsonBool(bool value) { return value ? "true" : "false"; }

std::string indexJson(const engine::Index& index) {
    return "{\"name\":" + jsonString(index.Name()) + ",\"fields\":[" +
           joined(fieldsOf(index), ",", jsonString) + "],\"primary\":" + jsonBool(index.Primary()) +
           ",\"unique\":" + jsonBool(index.Unique()) + ",\"required\":" + jsonBool(index.Required()) +
           ",\"ignoreNulls\":" + jsonBool(index.IgnoreNulls()) + "}";
}

std::string tableJson(const TableDescription& table) {
    return "{\"name\":" + jsonString(table.name) + ",\"rows\":" + std::to_string(table.rows) + ",\"indexes\":[" +
           joined(table.indexes, ",", indexJson) + "]}";
}

std::string indexLine(const engine::Index& index) {
    std::string line = "  " + escaped(index.Name()) + " (" + joined(fieldsOf(index), ", ", escaped) + ")";
    if (index.Primary()) line += " primary";
    if (index.Unique()) line += " unique";
    if (index.Required()) line += " required";
    if (index.IgnoreNulls()) line += " ignore-nulls";
    return line + "\n";
}

std::string tableLines(const TableDescription& table) {
    return escaped(table.name) + ": " + std::to_string(table.rows) + (table.rows == 1 ? " row\n" : " rows\n") +
           joined(table.indexes, "", indexLine);
}

std::string problemJson(const engine::Database::SalvageProblem& problem) {
    return "{\"table\":" + jsonString(problem.table) + ",\"problem\":" + jsonString(problem.problem) + "}";
}

std::string problemLine(const engine::Database::SalvageProblem& problem) {
    return "  " + (problem.table.empty() ? std::string("(file)") : escaped(problem.table)) + ": " +
           escaped(problem.problem) + "\n";
}

}  // namespace

// A sound file's description has no salvage part, so its form stays exactly as it always was.
std::string toJson(const FileDescription& description) {
    std::string json = "{\"tables\":[" + joined(description.tables, ",", tableJson) + "]";
    if (!description.salvage.empty()) json += ",\"salvage\":[" + joined(description.salvage, ",", problemJson) + "]";
    return json + "}";
}

std::string toText(const FileDescription& description) {
    std::string text = joined(description.tables, "", tableLines);
    if (!description.salvage.empty()) text += "salvaged:\n" + joined(description.salvage, "", problemLine);
    return text;
}

}  // namespace qndb
