#pragma once
// The hotel suite's database files, their tables and the columns this program reads.
// The demo data, the benchmark and the tests build their files from this description.
#include <string>
#include <string_view>
#include <vector>

namespace tableau::db {

enum class ColumnType { Integer, Text };

struct ColumnDescription {
    std::string_view name;
    ColumnType type;
};

struct TableDescription {
    std::string_view file;  // bare file name in the data directory
    std::string_view table;
    std::vector<ColumnDescription> columns;
};

const std::vector<TableDescription>& hotelSchema();

// The description of one table; throws std::out_of_range for an unknown one.
const TableDescription& tableDescription(std::string_view table);

// Whether a table's field names hold the field, compared as the suite compares names.
bool HasField(const std::vector<std::string>& fieldNames, std::string_view field);

// The columns of the description a table's field names lack, in the description's order:
// the fields the program reads and would not find.
std::vector<std::string_view> MissingFields(const TableDescription& description,
                                            const std::vector<std::string>& fieldNames);

// The Italian line naming a missing field, the data directory check's and the sync's:
// "Ditta_Intestataria.mdb: Campo "RagioneSociale" non trovato nella tabella Ditta_Intestataria".
std::string MissingFieldMessage(std::string_view file, std::string_view table,
                                std::string_view field);

}  // namespace tableau::db
