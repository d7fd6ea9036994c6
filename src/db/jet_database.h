#pragma once
// Hotel databases in the suite's own Jet files (".mdb", ".accdb"), read through the Jet
// reader program: numbers as numbers, texts in Windows-1252, nulls as nulls, date and
// time fields as "yyyy-mm-dd hh:mm:ss" texts. Each table is read whole the first time it
// is asked for and kept for the life of this object; the criteria are applied here.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"

namespace tableau::db {

class JetDatabase final : public Database {
  public:
    // Reads the list of tables. Throws DatabaseError naming the file when it is damaged.
    JetDatabase(std::filesystem::path path, std::string name, DatabaseFormat format);

    RecordSet openTable(const std::string& table) override;
    RecordSet select(const SelectStatement& statement) override;
    const std::string& name() const override { return name_; }
    DatabaseFormat format() const override { return format_; }

  private:
    // The whole table, read on first use. Throws DatabaseError naming a missing table.
    std::shared_ptr<const RowTable> table(const std::string& name);

    std::filesystem::path path_;
    std::string name_;
    DatabaseFormat format_;
    std::vector<std::string> tableNames_;  // Windows-1252, as the catalog gives them
    std::map<std::string, std::shared_ptr<const RowTable>> tables_;
};

}  // namespace tableau::db
