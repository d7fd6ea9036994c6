#pragma once
// A hotel database file, opened read-only by its bare name in the data directory.
// The on-disk format is found from the file itself; every format offers the same
// tables-and-record-sets view.
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/criteria.h"
#include "db/record_set.h"

namespace tableau::db {

// How long a read of a hotel file may go on without progress before it is given up: a Jet
// reader that sends nothing, a SQLite statement that does not finish. TABLEAU_ATTESA_JET
// seconds (a data directory on a slow network share), or 15.
inline constexpr std::chrono::milliseconds kDefaultPatience{15000};
std::chrono::milliseconds ReadPatience();

// "Select * From <table> Where <where>", optionally narrowed further by
// "<field> In (Select <subqueryField> From <subqueryTable> In '<subqueryFile>' Where ...)".
struct SelectStatement {
    struct SubqueryIn;
    struct ValuesIn;
    SelectStatement(std::string table_, Criteria where_ = Criteria(""),
                    std::optional<SubqueryIn> in_ = std::nullopt,
                    std::optional<ValuesIn> inValues_ = std::nullopt);

    std::string table;
    Criteria where{""};
    struct SubqueryIn {
        std::string field;
        std::string file;  // bare name of another database file in the same directory
        std::string table;
        std::string selectField;
        Criteria where{""};
    };
    std::optional<SubqueryIn> in;
    // "<field> In (<values>)" with values already at hand; nulls among them match nothing.
    // With equalAsCriteria a row is kept when its field equals a value as the criteria's
    // "=" has it (a text that reads as a number equals that number); otherwise texts and
    // numbers never equal each other.
    struct ValuesIn {
        std::string field;
        std::vector<Value> values;
        bool equalAsCriteria = false;
    };
    std::optional<ValuesIn> inValues;
};

inline SelectStatement::SelectStatement(std::string table_, Criteria where_,
                                        std::optional<SubqueryIn> in_,
                                        std::optional<ValuesIn> inValues_)
    : table(std::move(table_)),
      where(std::move(where_)),
      in(std::move(in_)),
      inValues(std::move(inValues_)) {}

// The on-disk formats a hotel database file may have; Server for a hotel file's table read
// from the chain's PostgreSQL server.
enum class DatabaseFormat { Sqlite, Jet3, Jet4, Ace, Server };

// "SQLite", "Jet 3", "Jet 4", "ACE" or "PostgreSQL", as the data directory check shows them.
const char* formatName(DatabaseFormat format);

// What a table holds, without its rows: for the data directory check.
struct TableSummary {
    std::vector<std::string> fields;  // in the table's order
    std::vector<FieldType> types;     // each field's, as the file declares it
    std::size_t rows = 0;
    // The row count the file itself declares, where the format keeps one (Jet): fewer
    // rows read than declared betray damaged pages the library skipped without a word.
    std::optional<std::size_t> declaredRows;
};

// A table read row by row (Database::scanTable): the fields first, then every row.
class TableScan {
  public:
    virtual ~TableScan() = default;
    // The field names in the table's order and their types as the file declares them (empty
    // when the storage does not tell).
    virtual void fields(const std::vector<std::string>& names,
                        const std::vector<FieldType>& types) = 0;
    // One row, in storage order; its values last only for the call.
    virtual void row(const std::vector<Value>& values) = 0;
};

class Database {
  public:
    virtual ~Database() = default;

    // Reads the whole table in storage order, handing each row to `scan` and keeping none:
    // a table of any length read in the memory of one row. Throws as openTable() and lets
    // the scan's own exceptions through (the reading stops there).
    virtual void scanTable(const std::string& table, TableScan& scan);

    // Reads the whole table but keeps none of its rows. Throws as openTable().
    virtual TableSummary summarize(const std::string& table) = 0;

    // The whole table in storage order. Throws ErroreArchivio naming a missing table.
    virtual RecordSet openTable(const std::string& table) = 0;

    // The rows of the table meeting the statement, in storage order. An empty criteria
    // text selects every row. Throws ErroreArchivio naming a missing table or field.
    virtual RecordSet select(const SelectStatement& statement) = 0;

    // The bare name the database was opened by ("Tableau.mdb").
    virtual const std::string& name() const = 0;

    virtual DatabaseFormat format() const = 0;
};

// Opens a database file of the directory by its bare name, matched without regard to
// letter case. Throws ErroreArchivio when the file is missing, of an unknown format or
// unreadable (a damaged Jet file is reported here, never brings the program down).
std::unique_ptr<Database> OpenDatabase(const std::filesystem::path& cartellaDati,
                                       std::string_view bareName);

}  // namespace tableau::db
