#pragma once
// The hotel suite's database files, their tables and the columns this program reads.
// The demo data, the benchmark and the tests build their files from this description.
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

}  // namespace tableau::db
