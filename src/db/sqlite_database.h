#pragma once
// Hotel databases stored as SQLite 3 files: each table and column of the suite under
// its own name, numbers as INTEGER or REAL, texts as UTF-8 TEXT, nulls allowed.
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>

#include "db/database.h"

struct sqlite3;

namespace tableau::db {

class SqliteDatabase final : public Database {
public:
    // Opens the file read-only. Throws DatabaseError with SQLite's reason on failure.
    SqliteDatabase(std::filesystem::path path, std::string name);
    ~SqliteDatabase() override;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    RecordSet openTable(const std::string& table) override;
    RecordSet select(const SelectStatement& statement) override;
    const std::string& name() const override { return name_; }

    // True when the file starts with SQLite's header.
    static bool recognises(const std::filesystem::path& path);

private:
    // Keys of the values a sub-query selected (numbers equal as numbers share a key).
    struct InFilter {
        std::string field;
        std::unordered_set<std::string> keys;
    };
    static std::string filterKey(const Value& v);
    std::shared_ptr<RowTable> selectRows(const std::string& table, const Criteria& where,
                                         const InFilter* in) const;

    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::filesystem::path path_;
    std::string name_;
    std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace tableau::db
