#pragma once

#include <functional>
#include <string>

#include "database/engine/db_engine.h"

// Opens databases and tables and maintains indexes behind true/false results. A method
// never throws: an engine error is shown in an "エラー" box unless CommandLineMode and
// becomes false. The class writes nothing to the log; its callers do.
class repairC {
public:
    const std::string& FileName() const { return fileName_; }
    void setFileName(const std::string& vNewValue) { fileName_ = vNewValue; }
    const std::string& password() const { return password_; }
    void setPassword(const std::string& vNewValue) { password_ = vNewValue; }
    const std::string& tablename() const { return tablename_; }
    void setTablename(const std::string& vNewValue) { tablename_ = vNewValue; }

    // Opens table `tablename` as a table-type recordset that denies reading to others.
    bool rsopen(engine::DatabasePtr& opendb, engine::RecordsetPtr& openrs);
    bool rsclose(engine::RecordsetPtr& closers);
    // Opens FileName, shared and writable, with ";PWD=" + password + ";".
    bool dbopen(engine::WorkspacePtr& openws, engine::DatabasePtr& opendb);
    bool dbclose(engine::DatabasePtr& closedb);
    bool daoIndexExist(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname);
    bool daoFieldExist(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname,
                       const std::string& fieldname);
    // Builds the index as the catalogue defines it; false without a message for an unknown one.
    bool daoCreateIndex(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname);
    bool daoDeleteIndex(engine::DatabasePtr& opendb, const std::string& tablename, const std::string& indexname);
    // Whether FileName names an existing regular file; never shows anything.
    bool FileExist() const;

    // The description of the last method's failure when the system caused it (engine::refusedBySystem),
    // else empty: callers end their log line with it, as command-line mode shows no box.
    const std::string& systemFailure() const { return systemFailure_; }

private:
    // The class's one error trap: shows the description unless CommandLineMode, answers false.
    bool trapped(const std::function<bool()>& body);

    std::string systemFailure_;
    std::string fileName_;
    std::string password_;
    std::string tablename_;
};
