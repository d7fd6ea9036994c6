// Rewrites a SQLite hotel file as a Jet file, so that the same data can be read both ways.
#include <sqlite3.h>
#include "db/errors.h"

#include <memory>
#include <stdexcept>

#include "db/hotel_schema.h"
#include "db/writer/jet_writer.h"

namespace tableau::db::writer {
namespace {

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementCloser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

Statement prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        throw ErroreArchivio(std::string(sqlite3_errmsg(db)) + " in: " + sql);
    }
    return Statement(raw);
}

bool HasTable(sqlite3* db, std::string_view table) {
    const Statement s =
        prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    sqlite3_bind_text(s.get(), 1, table.data(), static_cast<int>(table.size()), SQLITE_STATIC);
    return sqlite3_step(s.get()) == SQLITE_ROW;
}

Cell CellAt(sqlite3_stmt* s, int column) {
    switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(s, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(s, column);
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
        }
        case SQLITE_NULL:
            return {};
        default:
            throw ErroreArchivio(std::string("a binary value in column ") +
                                 sqlite3_column_name(s, column));
    }
}

JetTable TableOf(sqlite3* db, const TableDescription& description) {
    JetTable table{std::string(description.table), {}, {}};
    std::string sql = "SELECT ";
    for (const auto& column : description.columns) {
        sql += (table.columns.empty() ? "\"" : ", \"") + std::string(column.name) + "\"";
        table.columns.push_back({std::string(column.name), column.type == ColumnType::Integer
                                                               ? JetColumn::Type::Long
                                                               : JetColumn::Type::Text});
    }
    sql += " FROM \"" + table.name + "\" ORDER BY rowid";
    const Statement s = prepare(db, sql);
    const int width = static_cast<int>(table.columns.size());
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        std::vector<Cell>& row = table.rows.emplace_back();
        row.reserve(table.columns.size());
        for (int i = 0; i < width; ++i) {
            row.push_back(CellAt(s.get(), i));
        }
    }
    if (rc != SQLITE_DONE) {
        throw ErroreArchivio(std::string(sqlite3_errmsg(db)) + " in: " + sql);
    }
    return table;
}

}  // namespace

void ConvertHotelFileToJet(const std::filesystem::path& sqliteFile,
                           const std::filesystem::path& jetFile) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(sqliteFile.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, Closer> db(raw);
    if (rc != SQLITE_OK) {
        throw ErroreArchivio("cannot open " + sqliteFile.string());
    }
    std::vector<JetTable> tables;
    for (const auto& description : hotelSchema()) {
        if (HasTable(db.get(), description.table)) {
            tables.push_back(TableOf(db.get(), description));
        }
    }
    if (tables.empty()) {
        throw ErroreArchivio(sqliteFile.string() + " holds no hotel table");
    }
    WriteJetFile(jetFile, tables);
}

}  // namespace tableau::db::writer
