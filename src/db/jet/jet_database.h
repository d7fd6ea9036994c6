#pragma once
// Hotel databases in the suite's own Jet files (".mdb", ".accdb"), read through the Jet
// reader program: numbers as numbers, texts in Windows-1252, nulls as nulls, date and
// time fields as "yyyy-mm-dd hh:mm:ss" texts. A table opened whole is read once and kept
// for the life of this object; a select keeps only the rows it chooses as the table
// streams in (or chooses from the kept table). The criteria are applied here.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/jet/jet_stream.h"

namespace tableau::db::jet {

class JetDatabase final : public Database {
  public:
    // Reads the list of tables. Throws ErroreArchivio naming the file when it is damaged.
    JetDatabase(std::filesystem::path path, std::string name, DatabaseFormat format);

    RecordSet openTable(const std::string& table) override;
    void scanTable(const std::string& table, TableScan& scan) override;
    TableSummary summarize(const std::string& table) override;
    RecordSet select(const SelectStatement& statement) override;
    const std::string& name() const override { return name_; }
    DatabaseFormat format() const override { return format_; }

  private:
    // The columns of a table and what each holds ('T' text, 'I' whole number, '-' other).
    struct Shape {
        std::vector<std::string> columns;  // Windows-1252
        std::string kinds;
    };

    // The table's name as the file spells it. Throws ErroreArchivio naming a missing table.
    const std::string& storedName(const std::string& name) const;
    const Shape& shape(const std::string& stored);
    std::shared_ptr<RowTable> read(const std::string& stored, jet_stream::RowFilterMaker filter,
                                   std::vector<std::string> narrowing = {}) const;

    std::filesystem::path path_;
    std::string name_;
    DatabaseFormat format_;
    std::vector<std::string> tableNames_;  // Windows-1252, as the catalog gives them
    std::map<std::string, std::shared_ptr<const RowTable>> tables_;
    std::map<std::string, Shape> shapes_;
};

}  // namespace tableau::db::jet
