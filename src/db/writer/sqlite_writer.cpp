#include "db/writer/sqlite_writer.h"
#include "db/errors.h"

#include <sqlite3.h>

#include <stdexcept>

#include "db/hotel_schema.h"

namespace tableau::db::writer {

void SqliteWriter::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}
void SqliteWriter::StatementCloser::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}

SqliteWriter::SqliteWriter(const std::filesystem::path& path) {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        throw ErroreArchivio("cannot create " + path.string());
    }
}

SqliteWriter::~SqliteWriter() {
    insert_.reset();
}

void SqliteWriter::exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "unknown error";
        sqlite3_free(error);
        throw ErroreArchivio(why + " in: " + sql);
    }
}

void SqliteWriter::createTable(std::string_view table) {
    const auto& description = tableDescription(table);
    std::string sql = "CREATE TABLE IF NOT EXISTS \"" + std::string(table) + "\" (";
    for (std::size_t i = 0; i < description.columns.size(); ++i) {
        const auto& column = description.columns[i];
        sql += (i ? ", \"" : "\"") + std::string(column.name) + "\" " +
               (column.type == ColumnType::Integer ? "INTEGER" : "TEXT");
    }
    exec(sql + ")");
}

void SqliteWriter::insert(std::string_view table, const std::vector<std::string>& columns,
                          const std::vector<Cell>& values) {
    std::string shape = "INSERT INTO \"" + std::string(table) + "\" (";
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        shape += (i ? ", \"" : "\"") + columns[i] + "\"";
        marks += i ? ", ?" : "?";
    }
    shape += ") VALUES (" + marks + ")";
    if (shape != lastShape_) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_.get(), shape.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            throw ErroreArchivio(std::string(sqlite3_errmsg(db_.get())) + " in: " + shape);
        }
        insert_.reset(raw);
        lastShape_ = shape;
    }
    sqlite3_stmt* s = insert_.get();
    sqlite3_reset(s);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int slot = static_cast<int>(i + 1);
        const Cell& v = values[i];
        if (const auto* n = std::get_if<std::int64_t>(&v)) {
            sqlite3_bind_int64(s, slot, *n);
        } else if (const auto* d = std::get_if<double>(&v)) {
            sqlite3_bind_double(s, slot, *d);
        } else if (const auto* t = std::get_if<std::string>(&v)) {
            sqlite3_bind_text(s, slot, t->c_str(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(s, slot);
        }
    }
    if (sqlite3_step(s) != SQLITE_DONE) {
        throw ErroreArchivio(std::string(sqlite3_errmsg(db_.get())) + " in: " + shape);
    }
}

void SqliteWriter::begin() {
    exec("BEGIN");
}
void SqliteWriter::commit() {
    exec("COMMIT");
}

void CreateHotelFiles(const std::filesystem::path& cartellaDati) {
    std::filesystem::create_directories(cartellaDati);
    for (const auto& table : hotelSchema()) {
        SqliteWriter writer(cartellaDati / std::string(table.file));
        writer.createTable(table.table);
    }
}

}  // namespace tableau::db::writer
