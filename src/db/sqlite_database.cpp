#include "db/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unordered_set>

#include "db/data_directory.h"
#include "db/errors.h"
#include "routines/codepage.h"

namespace tableau::db {
namespace {

struct StatementCloser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

std::string quoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

Value readColumn(sqlite3_stmt* s, int column) {
    switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER: return Value::integer(sqlite3_column_int64(s, column));
        case SQLITE_FLOAT: return Value::real(sqlite3_column_double(s, column));
        case SQLITE_NULL: return Value();
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
            const int bytes = sqlite3_column_bytes(s, column);
            return Value::text(utf8ToCp1252(std::string_view(text, static_cast<std::size_t>(bytes))));
        }
    }
}

// The current row of a statement, read column by column only when asked, once each.
class LazyRow {
public:
    LazyRow(sqlite3_stmt* s, std::size_t columns) : s_(s), values_(columns), read_(columns) {}
    void next() { std::fill(read_.begin(), read_.end(), false); }
    const Value& operator()(int column) const {
        const auto c = static_cast<std::size_t>(column);
        if (!read_[c]) {
            values_[c] = readColumn(s_, column);
            read_[c] = true;
        }
        return values_[c];
    }
    std::vector<Value> take() {
        for (std::size_t c = 0; c < values_.size(); ++c) {
            (*this)(static_cast<int>(c));
        }
        return std::move(values_);
    }
    void reset() {
        values_.assign(values_.size(), Value());
        next();
    }

private:
    sqlite3_stmt* s_;
    mutable std::vector<Value> values_;
    mutable std::vector<bool> read_;
};

}  // namespace

std::string SqliteDatabase::filterKey(const Value& v) {
    if (v.isText()) {
        return "T" + v.textRef();
    }
    char out[40];
    std::snprintf(out, sizeof out, "N%.17g", v.asNumber());
    return out;
}

void SqliteDatabase::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

bool SqliteDatabase::recognises(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    return in.gcount() == 16 && std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16);
}

SqliteDatabase::SqliteDatabase(std::filesystem::path path, std::string name)
    : path_(std::move(path)), name_(std::move(name)) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        throw DatabaseError("Impossibile aprire l'archivio " + name_ + ": " +
                            (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    }
    sqlite3_busy_timeout(raw, 5000);
}

SqliteDatabase::~SqliteDatabase() = default;

RecordSet SqliteDatabase::openTable(const std::string& table) {
    return select(SelectStatement{table, Criteria(""), std::nullopt});
}

std::shared_ptr<RowTable> SqliteDatabase::selectRows(const std::string& table,
                                                     const Criteria& where,
                                                     const InFilter* in) const {
    sqlite3_stmt* raw = nullptr;
    const std::string sql = "SELECT * FROM " + quoteIdentifier(table);
    // Storage order: a plain scan of a rowid table yields rowid order; ask for it anyway
    // and fall back for tables without rowid.
    if (sqlite3_prepare_v2(db_.get(), (sql + " ORDER BY rowid").c_str(), -1, &raw, nullptr) !=
        SQLITE_OK) {
        if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            const std::string why = sqlite3_errmsg(db_.get());
            if (why.find("no such table") != std::string::npos) {
                throw DatabaseError("Tabella " + table + " non trovata nell'archivio " + name_);
            }
            throw DatabaseError("Impossibile leggere la tabella " + table + " dell'archivio " +
                                name_ + ": " + why);
        }
    }
    const Statement statement(raw);
    auto result = std::make_shared<RowTable>();
    result->name = table;
    const int columnCount = sqlite3_column_count(raw);
    for (int c = 0; c < columnCount; ++c) {
        result->columns.emplace_back(sqlite3_column_name(raw, c));
    }
    const CompiledCriteria compiled(where.text(), result->columns, table);
    if (compiled.paramCount() != where.params().size()) {
        throw DatabaseError("Criterio di ricerca su " + table +
                            ": il numero dei valori non corrisponde ai segnaposto: " +
                            where.text());
    }
    int inColumn = -1;
    if (in != nullptr) {
        inColumn = CompiledCriteria(in->field + " Is Not Null", result->columns, table)
                       .columnsUsed()
                       .front();
    }
    LazyRow row(raw, result->columns.size());
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        row.next();
        if (in != nullptr) {
            const Value& v = row(inColumn);
            if (v.isNull() || in->keys.count(filterKey(v)) == 0) {
                continue;
            }
        }
        if (compiled.matches(row, where.params())) {
            result->rows.push_back(row.take());
            row.reset();
        }
    }
    if (rc != SQLITE_DONE) {
        throw DatabaseError("Errore di lettura della tabella " + table + " dell'archivio " +
                            name_ + ": " + sqlite3_errmsg(db_.get()));
    }
    return result;
}

RecordSet SqliteDatabase::select(const SelectStatement& statement) {
    if (!statement.in) {
        return RecordSet(selectRows(statement.table, statement.where, nullptr));
    }
    const auto& sub = statement.in;
    const auto other = openDatabase(path_.parent_path(), sub->file);
    auto* sqliteOther = dynamic_cast<SqliteDatabase*>(other.get());
    InFilter filter;
    filter.field = sub->field;
    const auto collect = [&](const RowTable& rows) {
        const CompiledCriteria column(sub->selectField + " Is Not Null", rows.columns, rows.name);
        const auto c = static_cast<std::size_t>(column.columnsUsed().front());
        for (const auto& r : rows.rows) {
            if (!r[c].isNull()) {
                filter.keys.insert(filterKey(r[c]));
            }
        }
    };
    if (sqliteOther != nullptr) {
        collect(*sqliteOther->selectRows(sub->table, sub->where, nullptr));
    } else {
        // Another format: walk its record set.
        RecordSet rows = other->select(SelectStatement{sub->table, sub->where, std::nullopt});
        auto copy = std::make_shared<RowTable>();
        for (rows.findFirst(Criteria("")); !rows.noMatch(); rows.findNext(Criteria(""))) {
            copy->rows.push_back({rows.field(sub->selectField)});
        }
        copy->columns = {sub->selectField};
        copy->name = sub->table;
        collect(*copy);
    }
    return RecordSet(selectRows(statement.table, statement.where, &filter));
}

}  // namespace tableau::db
