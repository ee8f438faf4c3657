// Opening and compacting a data file made of arbitrary bytes, as the repair does. An engine
// error is the only acceptable failure, and a compacted copy, once written, must open and
// read to its end without one.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "database/engine/db_engine.h"
#include "database/engine/store/engine_error.h"

namespace {

const std::string kConnect = ";PWD=x;";
const std::string kUser = "fuzz";
const std::string kUserPassword = "fuzz";

std::filesystem::path& folder() {
    static std::filesystem::path path;
    return path;
}

// Every table to its last row, every index and what salvage recorded.
void readAll(engine::Database& db) {
    for (const std::string& name : db.TableDefs().names()) {
        const engine::TableDef table = db.TableDefs().Item(name);
        table.RecordCount();
        for (const engine::Index& index : table.Indexes().all())
            for (long i = 0; i < index.Fields().Count(); ++i) index.Fields().Item(i).Name();
        const engine::RecordsetPtr records = db.OpenRecordset(name);
        const std::vector<engine::ColumnDef> columns = table.columns();
        for (; !records->Eof(); records->MoveNext())
            for (const engine::ColumnDef& column : columns) records->Fields(column.name);
        records->Close();
    }
    db.SalvageProblems();
    db.RowLosses();
    db.VerifierRenewed();
}

engine::DatabasePtr openReadOnly(const std::string& path) {
    return engine::DBEngine::instance().CreateWorkspace("fuzz", kUser, kUserPassword)->OpenDatabase(path, false, true,
                                                                                                       kConnect);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "qn-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder() = pattern;
    const std::string workgroup = (folder() / "QNsys.mdw").string();
    engine::DBEngine::instance().CreateAccount(workgroup, kUser, kUserPassword);
    engine::DBEngine::instance().setSystemDB(workgroup);
    std::atexit([] { std::filesystem::remove_all(folder()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source = (folder() / "source.mdb").string();
    const std::string copy = (folder() / "copy.mdb").string();
    std::ofstream(source, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                    static_cast<std::streamsize>(size));
    std::filesystem::remove(copy);

    bool compacted = false;
    try {
        engine::DBEngine::instance().CompactDatabase(source, copy, "", 0, kConnect);
        compacted = true;
    } catch (const engine::EngineError&) {
    }
    if (compacted) {  // a copy that compaction wrote must read to its end
        try {
            readAll(*openReadOnly(copy));
        } catch (const engine::EngineError& error) {
            std::fprintf(stderr, "compacted copy unreadable: %s\n", error.what());
            __builtin_trap();
        }
    }
    try {
        readAll(*openReadOnly(source));
    } catch (const engine::EngineError&) {
    }
    return 0;
}
