#include "db/server/server_database.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>

#include "db/errors.h"
#include "db/hotel_schema.h"
#include "db/server/server_schema.h"
#include "db/sql_text.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db::server {
namespace {

std::string Qualified(const std::string& schema, std::string_view table) {
    return QuoteIdentifier(schema) + "." + QuoteIdentifier(table);
}

ServerType ServerTypeOf(std::string_view type) {
    if (type == "bigint" || type == "integer" || type == "smallint") {
        return ServerType::Bigint;
    }
    if (type == "double precision" || type == "real" || type.starts_with("numeric")) {
        return ServerType::DoublePrecision;
    }
    return ServerType::Text;
}

FieldType FieldTypeOf(ServerType type) {
    switch (type) {
        case ServerType::Bigint:
            return FieldType::Integer;
        case ServerType::DoublePrecision:
            return FieldType::Real;
        case ServerType::Text:
            return FieldType::Text;
    }
    return FieldType::Other;
}

Value ReadValue(const ServerResult& r, int row, int column, ServerType type) {
    if (r.isNull(row, column)) {
        return Value();
    }
    const std::string_view text = r.text(row, column);
    if (type == ServerType::Bigint) {
        std::int64_t n = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), n);
        if (read.ec == std::errc() && read.ptr == text.data() + text.size()) {
            return Value::integer(n);
        }
    }
    if (type != ServerType::Text) {
        if (text == "NaN") {
            return Value::real(std::numeric_limits<double>::quiet_NaN());
        }
        if (text == "Infinity" || text == "-Infinity") {
            const double inf = std::numeric_limits<double>::infinity();
            return Value::real(text[0] == '-' ? -inf : inf);
        }
        double d = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), d);
        if (read.ec == std::errc() && read.ptr == text.data() + text.size()) {
            return Value::real(d);
        }
    }
    return Value::text(routines::InCp1252(text));
}

bool PlainAscii(const std::string& text) {
    for (const char c : text) {
        if (c == '\0' || (c & 0x80) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

ServerSession::ServerSession(const ServerSetting& setting, std::filesystem::path cartellaDati)
    : setting_(setting),
      cartellaDati_(std::move(cartellaDati)),
      schema_(CheckSchemaName(setting.schema)),
      connection_(std::make_unique<ServerConnection>(setting.conninfo)) {
    begin();
}

std::string ServerSession::where() const {
    return "server " + connection_->server() + ", schema " + schema_;
}

std::string ServerSession::describe() const {
    return where();
}

// A sync waits for the readers holding the tables before it puts its new tables in place,
// and the readers after it wait for the sync: the server ends a source left idle in its
// transaction for a minute (milliseconds).
constexpr int kIdleTransactionTimeoutMs = 60000;

// The transaction is read-only and repeatable read; its snapshot is taken by its first
// query, after the LOCK (which takes none) holds the ten tables: a sync replacing a table
// either finished before, or waits for this read to end.
void ServerSession::begin() {
    std::string tables;
    std::vector<std::string> names;
    for (const ServerTable& t : ServerTables()) {
        tables += (tables.empty() ? "" : ", ") + Qualified(schema_, t.table);
        names.emplace_back(t.table);
    }
    try {
        connection_->execScript("SET idle_in_transaction_session_timeout = " +
                                std::to_string(kIdleTransactionTimeoutMs) +
                                "; BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; LOCK TABLE " +
                                tables + " IN ACCESS SHARE MODE");
    } catch (const ErroreServer& e) {
        missing(e);
    }
    names.emplace_back(kSyncTable);
    const ServerResult r = connection_->exec(
        "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod)"
        " FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped"
        " WHERE n.nspname = $1 AND c.relname = ANY ($2::text[])"
        " ORDER BY c.relname, a.attnum",
        {schema_, TextArray(names)});
    shapes_.clear();
    syncTable_ = false;
    for (int i = 0; i < r.rows(); ++i) {
        const std::string table(r.text(i, 0));
        if (table == kSyncTable) {
            syncTable_ = true;
            continue;
        }
        ServerTableShape& shape = shapes_[table];
        shape.table = table;
        const std::string column(r.text(i, 1));
        if (column == kOrderColumn) {
            continue;
        }
        shape.columns.push_back(column);
        shape.fields.push_back(routines::InCp1252(column));
        shape.types.push_back(ServerTypeOf(r.text(i, 2)));
    }
}

void ServerSession::missing(const ErroreServer& e) {
    try {
        connection_->execScript("ROLLBACK");
    } catch (const ErroreServer&) {
        throw e;
    }
    if (e.sqlstate() != "3F000" && e.sqlstate() != "42P01") {
        throw e;
    }
    if (connection_->exec("SELECT 1 FROM pg_namespace WHERE nspname = $1", {schema_}).rows() == 0) {
        throw ErroreServer("Server PostgreSQL " + connection_->server() + ": lo schema " + schema_ +
                               " non esiste (i dati dell'albergo non sono mai stati "
                               "sincronizzati?)",
                           e.sqlstate());
    }
    const ServerResult r = connection_->exec(
        "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " WHERE n.nspname = $1",
        {schema_});
    std::string absent;
    for (const ServerTable& t : ServerTables()) {
        bool found = false;
        for (int i = 0; i < r.rows() && !found; ++i) {
            found = r.text(i, 0) == t.table;
        }
        if (!found) {
            absent += (absent.empty() ? "" : ", ") + std::string(t.table);
        }
    }
    throw ErroreServer("Server PostgreSQL " + connection_->server() + ", schema " + schema_ +
                           ": tabelle non trovate: " + absent,
                       e.sqlstate());
}

void ServerSession::restart() {
    try {
        connection_->execScript("ROLLBACK");
    } catch (const ErroreServer&) {
        // the server closed the connection (a standby ends a session in conflict with its
        // recovery): a new one
        connection_ = std::make_unique<ServerConnection>(setting_.conninfo);
    }
    begin();
}

std::unique_ptr<Database> ServerSession::open(std::string_view bareName) {
    for (const ServerTable& t : ServerTables()) {
        if (!routines::StessoNome(t.file, bareName)) {
            continue;
        }
        const auto shape = shapes_.find(std::string(t.table));
        if (shape == shapes_.end()) {
            throw ErroreServer(where() + ": tabella " + std::string(t.table) + " non trovata");
        }
        return std::make_unique<ServerDatabase>(*this, std::string(bareName), shape->second);
    }
    return OpenDatabase(cartellaDati_, bareName);
}

std::optional<SyncRecord> ServerSession::lastSync() {
    if (!syncTable_) {
        return std::nullopt;
    }
    const ServerResult r =
        connection_->exec("SELECT extract(epoch FROM quando)::bigint, cartella, macchina FROM " +
                          Qualified(schema_, kSyncTable) + " ORDER BY quando DESC LIMIT 1");
    if (r.rows() == 0) {
        return std::nullopt;
    }
    const std::time_t when = std::strtoll(std::string(r.text(0, 0)).c_str(), nullptr, 10);
    std::tm locale{};
    localtime_r(&when, &locale);
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &locale);
    return SyncRecord{text, std::string(r.text(0, 1)), std::string(r.text(0, 2)),
                      static_cast<std::int64_t>(when)};
}

ServerDatabase::ServerDatabase(ServerSession& session, std::string name, ServerTableShape shape)
    : session_(session), name_(std::move(name)), shape_(std::move(shape)) {}

void ServerDatabase::checkTable(const std::string& table) const {
    if (!routines::StessoNome(table, shape_.table)) {
        throw ErroreServer(session_.where() + ": tabella " + table + " non trovata (l'archivio " +
                           name_ + " vi tiene la tabella " + shape_.table + ")");
    }
}

void ServerDatabase::check(const std::string& table) const {
    checkTable(table);
    std::string absent;
    for (const auto& d : hotelSchema()) {
        if (d.table != shape_.table) {
            continue;
        }
        for (const ColumnDescription& column : d.columns) {
            bool found = false;
            for (const auto& f : shape_.fields) {
                found = found || routines::StessoNome(f, column.name);
            }
            if (!found) {
                absent += (absent.empty() ? "" : ", ") + std::string(column.name);
            }
        }
    }
    if (!absent.empty()) {
        throw ErroreServer(session_.where() + ", tabella " + shape_.table +
                           ": campi non trovati: " + absent);
    }
}

TableSummary ServerDatabase::summarize(const std::string& table) {
    checkTable(table);
    TableSummary summary;
    summary.fields = shape_.fields;
    for (const ServerType t : shape_.types) {
        summary.types.push_back(FieldTypeOf(t));
    }
    const ServerResult r = session_.connection().exec("SELECT count(*) FROM " +
                                                      Qualified(session_.schema(), shape_.table));
    summary.rows =
        static_cast<std::size_t>(std::strtoull(std::string(r.text(0, 0)).c_str(), nullptr, 10));
    return summary;
}

RecordSet ServerDatabase::openTable(const std::string& table) {
    return select(SelectStatement{table});
}

std::optional<InFilter> ServerDatabase::inFilter(const SelectStatement& statement) {
    if (!statement.in || statement.inValues) {
        return InFilterOf(statement, session_.cartellaDati());
    }
    const auto other = session_.open(statement.in->file);
    return InFilterOfSubquery(*other, *statement.in);
}

// The server is asked only for what it decides as the criteria do, so that its rows are a
// superset of those chosen: top-level conjuncts comparing a bigint field with an integer, or
// a text field with a plain ASCII text (byte order, COLLATE "C": for ASCII operands
// Windows-1252 and UTF-8 order alike), and an In list of integers on a bigint field or of
// texts on a text field compared as texts. The criteria then choose among the rows that come.
RecordSet ServerDatabase::select(const SelectStatement& statement) {
    check(statement.table);
    const Criteria& where = statement.where;
    const CompiledCriteria compiled(where.text(), shape_.fields, shape_.table);
    if (compiled.paramCount() != where.params().size()) {
        throw ErroreArchivio(
            "Criterio di ricerca su " + shape_.table +
            ": il numero dei valori non corrisponde ai segnaposto: " + where.text());
    }
    const std::optional<InFilter> in = inFilter(statement);
    std::size_t inColumn = 0;
    if (in) {
        inColumn = static_cast<std::size_t>(
            CompiledCriteria(in->field + " Is Not Null", shape_.fields, shape_.table)
                .columnsUsed()
                .front());
    }

    std::string conditions;
    std::vector<ServerParam> params;
    const auto addCondition = [&](const std::string& condition) {
        conditions += (conditions.empty() ? " WHERE " : " AND ") + condition;
    };
    const auto placeholder = [&](std::string value, const char* type) {
        params.emplace_back(std::move(value));
        return "$" + std::to_string(params.size()) + "::" + type;
    };
    std::vector<const CriteriaNode*> conjuncts;
    if (compiled.root().kind == CriteriaNode::Kind::And) {
        for (const auto& child : compiled.root().children) {
            conjuncts.push_back(child.get());
        }
    } else {
        conjuncts.push_back(&compiled.root());
    }
    for (const CriteriaNode* node : conjuncts) {
        if (node->kind != CriteriaNode::Kind::Compare || node->column < 0) {
            continue;
        }
        const auto c = static_cast<std::size_t>(node->column);
        const Value& operand = node->values.front().resolve(where.params());
        const std::string column = QuoteIdentifier(shape_.columns[c]);
        const std::string op = operatorText(node->op);
        if (shape_.types[c] == ServerType::Bigint && operand.isInteger()) {
            addCondition(column + " " + op + " " +
                         placeholder(std::to_string(operand.asInteger()), "bigint"));
        } else if (shape_.types[c] == ServerType::Text && operand.isText() &&
                   PlainAscii(operand.textRef())) {
            addCondition(column + " COLLATE \"C\" " + op + " " +
                         placeholder(operand.textRef(), "text"));
        }
    }
    if (in) {
        const std::string column = QuoteIdentifier(shape_.columns[inColumn]);
        const ServerType type = shape_.types[inColumn];
        if (type == ServerType::Bigint) {
            // An integer is admitted by its key alone ("N" and its digits).
            std::string list;
            for (const auto& key : in->keys) {
                std::int64_t n = 0;
                const char* end = key.data() + key.size();
                if (key.size() > 1 && key[0] == 'N' &&
                    std::from_chars(key.data() + 1, end, n).ptr == end) {
                    list += (list.empty() ? "" : ",") + std::to_string(n);
                }
            }
            addCondition(column + " = ANY (" + placeholder("{" + list + "}", "bigint[]") + ")");
        } else if (type == ServerType::Text && !in->textsAsNumbers) {
            std::vector<std::string> texts;
            bool exact = true;
            for (const auto& key : in->keys) {
                if (key[0] == 'T') {
                    exact = exact && key.find('\0') == std::string::npos;
                    texts.push_back(routines::InUtf8(std::string_view(key).substr(1)));
                }
            }
            if (exact) {
                addCondition(column + " COLLATE \"C\" = ANY (" +
                             placeholder(TextArray(texts), "text[]") + ")");
            }
        }
    }

    std::string columnList;
    for (const auto& column : shape_.columns) {
        columnList += (columnList.empty() ? "" : ", ") + QuoteIdentifier(column);
    }
    const ServerResult r = session_.connection().exec(
        "SELECT " + (columnList.empty() ? std::string("1") : columnList) + " FROM " +
            Qualified(session_.schema(), shape_.table) + conditions + " ORDER BY " +
            QuoteIdentifier(kOrderColumn),
        params);

    auto result = std::make_shared<RowTable>();
    result->name = shape_.table;
    result->columns = shape_.fields;
    for (const ServerType t : shape_.types) {
        result->types.push_back(FieldTypeOf(t));
    }
    const auto columnCount = shape_.columns.size();
    std::vector<Value> row(columnCount);
    const auto get = [&row](int column) -> const Value& {
        return row[static_cast<std::size_t>(column)];
    };
    for (int i = 0; i < r.rows(); ++i) {
        for (std::size_t c = 0; c < columnCount; ++c) {
            row[c] = ReadValue(r, i, static_cast<int>(c), shape_.types[c]);
        }
        if (in && !in->admits(row[inColumn])) {
            continue;
        }
        if (compiled.matches(get, where.params())) {
            result->rows.push_back(row);
        }
    }
    return RecordSet(result);
}

}  // namespace tableau::db::server
