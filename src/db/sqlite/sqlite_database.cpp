#include "db/sqlite/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "db/data_directory.h"
#include "db/errors.h"
#include "db/sql_text.h"
#include "routines/codepage.h"

namespace tableau::db::sqlite {
namespace {

// SQLite's affinity rules for a declared column type, in their order: INT gives INTEGER;
// CHAR, CLOB or TEXT give TEXT; BLOB or no type keep the values as they are; REAL, FLOA or
// DOUB give REAL; anything else NUMERIC.
FieldType DeclaredType(const char* declared) {
    std::string type = declared != nullptr ? declared : "";
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto has = [&type](const char* part) { return type.find(part) != std::string::npos; };
    if (has("INT")) {
        return FieldType::Integer;
    }
    if (has("CHAR") || has("CLOB") || has("TEXT")) {
        return FieldType::Text;
    }
    if (has("REAL") || has("FLOA") || has("DOUB")) {
        return FieldType::Real;
    }
    return FieldType::Other;
}

// A text of the file in Windows-1252; most are plain ASCII and taken as they are.
std::string TextOf(sqlite3_stmt* s, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    const int bytes = sqlite3_column_bytes(s, column);
    return routines::InCp1252(std::string_view(text, static_cast<std::size_t>(bytes)));
}

Value ReadColumn(sqlite3_stmt* s, int column) {
    switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER:
            return Value::integer(sqlite3_column_int64(s, column));
        case SQLITE_FLOAT:
            return Value::real(sqlite3_column_double(s, column));
        case SQLITE_NULL:
            return Value();
        default:
            return Value::text(TextOf(s, column));
    }
}

// The current row of a statement, each column read only when asked, once per row.
// `position[c]` is where column c of the table stands in the statement's result.
class LazyRow {
  public:
    LazyRow(sqlite3_stmt* s, std::vector<int> position)
        : s_(s),
          position_(std::move(position)),
          values_(position_.size()),
          read_(position_.size()) {}
    void next() { std::fill(read_.begin(), read_.end(), false); }
    const Value& operator()(int column) const {
        const auto c = static_cast<std::size_t>(column);
        if (!read_[c]) {
            values_[c] = ReadColumn(s_, position_[c]);
            read_[c] = true;
        }
        return values_[c];
    }
    // The whole row; the next row starts from fresh values.
    std::vector<Value> take() {
        for (std::size_t c = 0; c < values_.size(); ++c) {
            (*this)(static_cast<int>(c));
        }
        std::vector<Value> row(values_.size());
        row.swap(values_);
        return row;
    }

  private:
    sqlite3_stmt* s_;
    std::vector<int> position_;
    mutable std::vector<Value> values_;
    mutable std::vector<bool> read_;
};

}  // namespace

void SqliteDatabase::StatementCloser::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}

void SqliteDatabase::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

bool SqliteDatabase::recognises(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    return in.gcount() == 16 &&
           std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16);
}

SqliteDatabase::SqliteDatabase(std::filesystem::path path, std::string name)
    : path_(std::move(path)), name_(std::move(name)) {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        throw ErroreArchivio("Impossibile aprire l'archivio " + name_ + ": " +
                             (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    }
    sqlite3_busy_timeout(raw, 5000);
}

SqliteDatabase::~SqliteDatabase() = default;

RecordSet SqliteDatabase::openTable(const std::string& table) {
    return select(SelectStatement{table, Criteria(""), std::nullopt});
}

TableSummary SqliteDatabase::summarize(const std::string& table) {
    TableSummary summary;
    const Statement count = prepare("SELECT count(*) FROM " + QuoteIdentifier(table), table);
    {
        const Statement shape = prepare("SELECT * FROM " + QuoteIdentifier(table), table);
        for (int c = 0; c < sqlite3_column_count(shape.get()); ++c) {
            summary.fields.emplace_back(sqlite3_column_name(shape.get(), c));
            summary.types.push_back(DeclaredType(sqlite3_column_decltype(shape.get(), c)));
        }
    }
    stepAll(count.get(), table,
            [&] { summary.rows = static_cast<std::size_t>(sqlite3_column_int64(count.get(), 0)); });
    return summary;
}

SqliteDatabase::Statement SqliteDatabase::prepare(const std::string& sql,
                                                  const std::string& table) const {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        const std::string why = sqlite3_errmsg(db_.get());
        if (why.find("no such table") != std::string::npos) {
            throw ErroreArchivio("Tabella " + table + " non trovata nell'archivio " + name_);
        }
        throw ErroreArchivio("Impossibile leggere la tabella " + table + " dell'archivio " + name_ +
                             ": " + why);
    }
    return Statement(raw);
}

namespace {

// A statement may run for as long as the Jet reader may stay silent (TABLEAU_ATTESA_JET):
// a table that is a view over an endless query is given up instead of holding the program.
// SQLite asks every kProgressSteps instructions whether to go on.
constexpr int kProgressSteps = 10000;

class Watchdog {
  public:
    Watchdog(sqlite3* db, std::chrono::milliseconds patience)
        : db_(db), deadline_(std::chrono::steady_clock::now() + patience) {
        sqlite3_progress_handler(db_, kProgressSteps, &Watchdog::GoOn, this);
    }
    ~Watchdog() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    bool expired() const { return expired_; }
    // Progress was made: the patience starts again.
    void progressed(std::chrono::milliseconds patience) {
        deadline_ = std::chrono::steady_clock::now() + patience;
    }

  private:
    static int GoOn(void* self) {
        auto* watchdog = static_cast<Watchdog*>(self);
        if (std::chrono::steady_clock::now() >= watchdog->deadline_) {
            watchdog->expired_ = true;
            return 1;
        }
        return 0;
    }
    sqlite3* db_;
    std::chrono::steady_clock::time_point deadline_;
    bool expired_ = false;
};

}  // namespace

void SqliteDatabase::stepAll(sqlite3_stmt* s, const std::string& table,
                             const std::function<void()>& onRow, bool rowsAreProgress) const {
    const auto patience = ReadPatience();
    Watchdog watchdog(db_.get(), patience);
    int rc = SQLITE_ROW;
    // The clock is read every so many rows: a scan hands on millions.
    constexpr unsigned kRowsBetweenClocks = 1024;
    unsigned rows = 0;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        onRow();
        if (rowsAreProgress && ++rows % kRowsBetweenClocks == 0) {
            watchdog.progressed(patience);
        }
    }
    if (rc == SQLITE_INTERRUPT && watchdog.expired()) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(patience);
        throw ErroreArchivio(
            "L'archivio " + name_ + " \xC3\xA8 danneggiato o illeggibile (tabella " + table +
            "): la lettura \xC3\xA8 durata pi\xC3\xB9 di " + std::to_string(seconds.count()) +
            " secondi ed \xC3\xA8 stata interrotta");
    }
    if (rc != SQLITE_DONE) {
        throw ErroreArchivio("Errore di lettura della tabella " + table + " dell'archivio " +
                             name_ + ": " + sqlite3_errmsg(db_.get()));
    }
}

namespace {

constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

bool PlainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// Whether an index of the table starts with the field: then SQLite can find an In list of
// its values without reading the table.
bool HasLeadingIndex(sqlite3* db, const std::string& table, const std::string& field) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(
            db,
            "SELECT 1 FROM pragma_index_list(?1) AS l, pragma_index_info(l.name) AS i"
            " WHERE i.seqno = 0 AND i.name = ?2 COLLATE NOCASE",
            -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> query(raw, &sqlite3_finalize);
    sqlite3_bind_text(raw, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(raw, 2, field.c_str(), -1, SQLITE_TRANSIENT);
    return sqlite3_step(raw) == SQLITE_ROW;
}

}  // namespace

// A WHERE clause that lets SQLite drop most rows that cannot match before they are read
// into values; every row it keeps is tested again with the criteria itself, so it only
// needs to keep every row that might match:
// - a top-level conjunct "field op 'text'" with a plain ASCII text is tried on text
//   values only (for ASCII texts the byte order of UTF-8 and Windows-1252 agree);
// - a top-level conjunct "field op integer", the integer within 2^53, is tried on numbers
//   (SQLite and the criteria compare numbers alike, the integer being exact as a double),
//   while texts, which the criteria may read as numbers, are all kept ("field >= ''"
//   holds for texts only);
// - the values of a sub-query, when all whole numbers, become an In list, preceded by the
//   range from the least to the greatest, which SQLite tests much faster.
SqliteDatabase::Prefilter SqliteDatabase::prefilter(const CompiledCriteria& compiled,
                                                    const std::vector<Value>& params,
                                                    const std::vector<std::string>& columns,
                                                    const std::vector<bool>& textColumns,
                                                    const InFilter* in) const {
    Prefilter result;
    std::vector<const CriteriaNode*> conjuncts;
    const CriteriaNode& root = compiled.root();
    if (root.kind == CriteriaNode::Kind::And) {
        for (const auto& child : root.children) {
            conjuncts.push_back(child.get());
        }
    } else {
        conjuncts.push_back(&root);
    }
    std::vector<std::string> clauses;
    for (const CriteriaNode* node : conjuncts) {
        if (node->kind != CriteriaNode::Kind::Compare) {
            continue;
        }
        const Value& operand = node->values.front().resolve(params);
        const auto c = static_cast<std::size_t>(node->column);
        const std::string column = QuoteIdentifier(columns[c]);
        const std::string test = column + " " + operatorText(node->op) + " ?";
        if (operand.isText() && PlainAscii(operand.textRef())) {
            // A column of text affinity holds only texts (and nulls, which match nothing);
            // in other columns numbers are left to the exact test.
            clauses.push_back(
                textColumns[c] ? test : "(typeof(" + column + ") <> 'text' OR " + test + ")");
        } else if (operand.isInteger() && operand.asInteger() >= -kExactInDouble &&
                   operand.asInteger() <= kExactInDouble) {
            clauses.push_back("(" + test + " OR " + column + " >= '')");
        } else {
            continue;
        }
        result.binds.push_back(operand);
    }
    if (in != nullptr && in->numbersOnly) {
        std::string list;
        std::optional<std::int64_t> least;
        std::optional<std::int64_t> greatest;
        for (const auto& key : in->keys) {
            const std::string number = key.substr(1);  // "N123" -> 123
            list += (list.empty() ? "" : ",") + number;
            std::int64_t value = 0;
            const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
            if (read.ec == std::errc() && read.ptr == number.data() + number.size()) {
                least = std::min(least.value_or(value), value);
                greatest = std::max(greatest.value_or(value), value);
            }
        }
        const std::string column = QuoteIdentifier(in->field);
        // The range is a test only: its unary plus keeps an index on the field for the list,
        // as a range over the whole index would be scanned whole.
        const std::string range = least && greatest
                                      ? "+" + column + " BETWEEN " + std::to_string(*least) +
                                            " AND " + std::to_string(*greatest) + " AND "
                                      : "";
        // Texts are kept for the exact test when they may read as numbers ("field >= ''"
        // holds for texts only).
        // Reals too when a value lies beyond 2^53, where a real may equal an integer it is
        // not (SQLite compares them exactly, the criteria as doubles).
        const bool farNumbers =
            (least && *least < -kExactInDouble) || (greatest && *greatest > kExactInDouble);
        const std::string texts =
            !in->textsAsNumbers
                ? ""
                : " OR " + column + " >= ''" +
                      (farNumbers ? " OR typeof(" + column + ") = 'real'" : std::string());
        clauses.push_back(list.empty()
                              ? (texts.empty() ? "0" : "(" + column + " >= '')")
                              : "((" + range + column + " IN (" + list + "))" + texts + ")");
    }
    for (std::size_t i = 0; i < clauses.size(); ++i) {
        result.where += (i == 0 ? " WHERE " : " AND ") + clauses[i];
    }
    return result;
}

std::shared_ptr<RowTable> SqliteDatabase::selectRows(const std::string& table,
                                                     const Criteria& where,
                                                     const InFilter* in) const {
    const std::string from = " FROM " + QuoteIdentifier(table);
    auto result = std::make_shared<RowTable>();
    result->name = table;
    std::vector<bool> textColumns;
    {
        const Statement shape = prepare("SELECT *" + from, table);
        for (int c = 0; c < sqlite3_column_count(shape.get()); ++c) {
            result->columns.emplace_back(sqlite3_column_name(shape.get(), c));
            result->types.push_back(DeclaredType(sqlite3_column_decltype(shape.get(), c)));
            textColumns.push_back(result->types.back() == FieldType::Text);
        }
    }
    const CompiledCriteria compiled(where.text(), result->columns, table);
    if (compiled.paramCount() != where.params().size()) {
        throw ErroreArchivio(
            "Criterio di ricerca su " + table +
            ": il numero dei valori non corrisponde ai segnaposto: " + where.text());
    }
    int inColumn = -1;
    if (in != nullptr) {
        inColumn = CompiledCriteria(in->field + " Is Not Null", result->columns, table)
                       .columnsUsed()
                       .front();
    }
    const Prefilter narrowing =
        prefilter(compiled, where.params(), result->columns, textColumns, in);

    // Storage order is rowid order; tables without rowid keep their own scan order. Where
    // an index leads with the field of an In list, the rows are chosen by rowid first:
    // asked for in rowid order in one query, SQLite would scan the whole table instead of
    // finding the list and its texts in the index, while a list of rowids comes out sorted.
    // Without such an index one scan is faster than a scan followed by a search per row.
    sqlite3_stmt* raw = nullptr;
    const std::string sql = "SELECT *" + from + narrowing.where;
    const bool throughIndex =
        in != nullptr && !narrowing.where.empty() && HasLeadingIndex(db_.get(), table, in->field);
    const std::string inRowidOrder = throughIndex
                                         ? "SELECT *" + from + " WHERE rowid IN (SELECT rowid" +
                                               from + narrowing.where + ") ORDER BY rowid"
                                         : sql + " ORDER BY rowid";
    if (sqlite3_prepare_v2(db_.get(), inRowidOrder.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        raw = prepare(sql, table).release();
    }
    const Statement scan(raw);
    for (std::size_t i = 0; i < narrowing.binds.size(); ++i) {
        const Value& bind = narrowing.binds[i];
        const int at = static_cast<int>(i + 1);
        if (bind.isInteger()) {
            sqlite3_bind_int64(raw, at, bind.asInteger());
        } else {
            const std::string& text = bind.textRef();
            sqlite3_bind_text(raw, at, text.c_str(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
    }
    std::vector<int> identity(result->columns.size());
    for (std::size_t c = 0; c < identity.size(); ++c) {
        identity[c] = static_cast<int>(c);
    }
    LazyRow row(raw, identity);
    stepAll(raw, table, [&] {
        row.next();
        if (in != nullptr) {
            const Value& v = row(inColumn);
            if (!in->admits(v)) {
                return;
            }
        }
        if (compiled.matches(row, where.params())) {
            result->rows.push_back(row.take());
        }
    });
    return result;
}

void SqliteDatabase::scanTable(const std::string& table, TableScan& scan) {
    const std::string from = " FROM " + QuoteIdentifier(table);
    sqlite3_stmt* raw = nullptr;
    const std::string inOrder = "SELECT *" + from + " ORDER BY rowid";
    if (sqlite3_prepare_v2(db_.get(), inOrder.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        raw = prepare("SELECT *" + from, table).release();  // a table without rowid
    }
    const Statement s(raw);
    std::vector<std::string> names;
    std::vector<FieldType> types;
    const int columns = sqlite3_column_count(raw);
    for (int c = 0; c < columns; ++c) {
        names.emplace_back(sqlite3_column_name(raw, c));
        types.push_back(DeclaredType(sqlite3_column_decltype(raw, c)));
    }
    scan.fields(names, types);
    // One row's values, taken over by the next.
    std::vector<Value> row(names.size());
    stepAll(
        raw, table,
        [&] {
            for (int c = 0; c < columns; ++c) {
                row[static_cast<std::size_t>(c)] = ReadColumn(raw, c);
            }
            scan.row(row);
        },
        /*rowsAreProgress=*/true);
}

RecordSet SqliteDatabase::select(const SelectStatement& statement) {
    const auto in = InFilterOf(statement, path_.parent_path());
    return RecordSet(selectRows(statement.table, statement.where, in ? &*in : nullptr));
}

}  // namespace tableau::db::sqlite
