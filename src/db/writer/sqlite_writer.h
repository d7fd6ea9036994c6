#pragma once
// Writes hotel database files as SQLite files. The program itself never writes the hotel
// databases; the demo data generator, the benchmark and the tests build theirs with this.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tableau::db::writer {

// A value to store: null, a number, or a UTF-8 text.
using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;

class SqliteWriter {
  public:
    // Creates or opens the file for writing; throws db::ErroreArchivio on failure.
    explicit SqliteWriter(const std::filesystem::path& path);
    ~SqliteWriter();
    SqliteWriter(const SqliteWriter&) = delete;
    SqliteWriter& operator=(const SqliteWriter&) = delete;

    void exec(const std::string& sql);

    // Creates the table of the hotel schema (no index), unless it exists.
    void createTable(std::string_view table);

    // Inserts one row into the named columns; keeps one prepared statement per shape.
    void insert(std::string_view table, const std::vector<std::string>& columns,
                const std::vector<Cell>& values);

    // Groups the following inserts into one transaction until commit().
    void begin();
    void commit();

  private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    struct StatementCloser {
        void operator()(sqlite3_stmt* s) const;
    };
    std::unique_ptr<sqlite3, Closer> db_;
    std::string lastShape_;
    std::unique_ptr<sqlite3_stmt, StatementCloser> insert_;
};

// Builds the whole set of hotel database files in a directory, one file per table
// (the two tables of "Stampanti.mdb" together), creating the tables empty.
void CreateHotelFiles(const std::filesystem::path& cartellaDati);

}  // namespace tableau::db::writer
