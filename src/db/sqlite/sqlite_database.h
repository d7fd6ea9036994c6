#pragma once
// Hotel databases stored as SQLite 3 files: each table and column of the suite under
// its own name, numbers as INTEGER or REAL, texts as UTF-8 TEXT, nulls allowed.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "db/database.h"
#include "db/in_filter.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tableau::db::sqlite {

class SqliteDatabase final : public Database {
  public:
    // Opens the file read-only. Throws ErroreArchivio with SQLite's reason on failure.
    SqliteDatabase(std::filesystem::path path, std::string name);
    ~SqliteDatabase() override;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    RecordSet openTable(const std::string& table) override;
    void scanTable(const std::string& table, TableScan& scan) override;
    TableSummary summarize(const std::string& table) override;
    RecordSet select(const SelectStatement& statement) override;
    const std::string& name() const override { return name_; }
    DatabaseFormat format() const override { return DatabaseFormat::Sqlite; }

    // True when the file starts with SQLite's header.
    static bool recognises(const std::filesystem::path& path);

  private:
    struct Prefilter {
        std::string where;
        std::vector<Value> binds;  // texts and integers
    };
    Prefilter prefilter(const CompiledCriteria& compiled, const std::vector<Value>& params,
                        const std::vector<std::string>& columns,
                        const std::vector<bool>& textColumns, const InFilter* in) const;
    struct StatementCloser {
        void operator()(sqlite3_stmt* s) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;
    // Throws ErroreArchivio naming a missing table.
    Statement prepare(const std::string& sql, const std::string& table) const;
    // With rowsAreProgress the patience runs from the last row handed on, not from the
    // start: a scan whose rows take long to be dealt with is not cut off for that.
    void stepAll(sqlite3_stmt* s, const std::string& table, const std::function<void()>& onRow,
                 bool rowsAreProgress = false) const;
    std::shared_ptr<RowTable> selectRows(const std::string& table, const Criteria& where,
                                         const InFilter* in) const;

    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::filesystem::path path_;
    std::string name_;
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace tableau::db::sqlite
