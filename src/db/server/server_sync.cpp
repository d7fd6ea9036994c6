#include "db/server/server_sync.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "db/errors.h"
#include "db/server/copy_feed.h"
#include "db/server/server_schema.h"
#include "db/server/sync_source.h"
#include "db/sql_text.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db::server {
namespace {

// The fields the chart's reads narrow the rows by, indexed where the table has them. Of a
// week's "DataArrivo <= last day and DataPartenza > first day" only the departure is indexed:
// it picks out the stays of recent and coming weeks, which charts are asked for, while
// "DataArrivo <= ..." holds for nearly every row but those of the future. Only the departures
// from kIndexedMonths before the sync's day on are indexed (`recent`): a week before them
// matches a large share of the table, which the server then reads whole with or without an
// index, while a week's read uses the index whenever its first day is on or after the
// index's (the server proves it from the statement's values). On five years of history the
// index holds a fifth of the rows and builds in a third of the time.
struct Index {
    std::string_view table;
    std::string_view field;
    bool recent = false;
};
constexpr Index kIndexes[] = {
    {"NumeriCamere", "NumeroHotel"},
    {"Scheda_Cliente", "DataPartenza", true},
    {"Ditta_Intestataria", "CodiceCliente"},
    {"Arrangiamento", "CodiceCliente"},
    {"Camere_Prenotazione", "DataPartenza", true},
    {"Scheda_Prenotazione", "NumeroPrenotazione"},
};
constexpr int kIndexedMonths = 12;

// A table of a new shape is filled under this prefix and takes its name at the end.
constexpr std::string_view kNewPrefix = "tableau_nuova ";

std::string IndexName(std::string_view table, std::string_view field) {
    return std::string(table) + " (" + std::string(field) + ")";
}

// Rolls back unless committed: a failure anywhere leaves the server as it was.
class Transaction {
  public:
    explicit Transaction(ServerConnection& c) : c_(c) { c_.execScript("BEGIN"); }
    ~Transaction() {
        if (!done_) {
            try {
                c_.execScript("ROLLBACK");
            } catch (...) {
                // the connection is gone, and the transaction with it
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        done_ = true;
        c_.execScript("COMMIT");
    }

  private:
    ServerConnection& c_;
    bool done_ = false;
};

struct ExistingColumn {
    std::string name;
    std::string type;
    std::string collation;
    bool notNull = false;
};

// The columns of the schema's tables of the given names, in their order.
std::map<std::string, std::vector<ExistingColumn>> ExistingColumns(ServerConnection& c,
                                                                   const std::string& schema,
                                                                   const std::string& names) {
    const ServerResult r = c.exec(
        "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod),"
        " coalesce(co.collname, ''), a.attnotnull"
        " FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped"
        " LEFT JOIN pg_collation co ON co.oid = a.attcollation"
        " WHERE n.nspname = $1 AND c.relname = ANY ($2::text[])"
        " ORDER BY c.relname, a.attnum",
        {schema, names});
    std::map<std::string, std::vector<ExistingColumn>> columns;
    for (int i = 0; i < r.rows(); ++i) {
        columns[std::string(r.text(i, 0))].push_back(
            ExistingColumn{std::string(r.text(i, 1)), std::string(r.text(i, 2)),
                           std::string(r.text(i, 3)), r.text(i, 4) == "t"});
    }
    return columns;
}

std::set<std::string> ExistingIndexes(ServerConnection& c, const std::string& schema) {
    const ServerResult r =
        c.exec("SELECT indexname FROM pg_indexes WHERE schemaname = $1", {schema});
    std::set<std::string> names;
    for (int i = 0; i < r.rows(); ++i) {
        names.emplace(r.text(i, 0));
    }
    return names;
}

// The schema's tables of the given names that other objects are built on: views, foreign
// keys, triggers, policies, publications, defaults, constraints, indexes other than the
// sync's own. Their rows are replaced in place, so that those objects stay.
std::set<std::string> TablesWithDependents(ServerConnection& c, const std::string& schema,
                                           const std::string& names, const std::string& indexes) {
    const ServerResult r = c.exec(
        "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " WHERE n.nspname = $1 AND c.relname = ANY ($2::text[]) AND (EXISTS (SELECT 1"
        " FROM pg_depend d WHERE d.refclassid = 'pg_class'::regclass AND d.refobjid = c.oid"
        " AND d.classid NOT IN ('pg_class'::regclass, 'pg_type'::regclass))"
        " OR EXISTS (SELECT 1 FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid"
        " WHERE i.indrelid = c.oid AND ic.relname <> ALL ($3::text[])))",
        {schema, names, indexes});
    std::set<std::string> tables;
    for (int i = 0; i < r.rows(); ++i) {
        tables.emplace(r.text(i, 0));
    }
    return tables;
}

// Whether the table on the server has the fields the file has, of the same types, and the
// order column: then its rows are replaced in place.
bool SameShape(const SyncSource& s, const std::vector<ExistingColumn>& columns) {
    if (columns.size() != s.fields.size() + 1) {
        return false;
    }
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const ExistingColumn& c = columns[i];
        if (c.name != s.fields[i] || c.type != ServerTypeName(s.types[i]) || c.notNull ||
            (s.types[i] == ServerType::Text && c.collation != "C")) {
            return false;
        }
    }
    const ExistingColumn& order = columns.back();
    return order.name == kOrderColumn && order.type == "bigint" && order.notNull;
}

// The columns of a new table: the file's fields, texts compared byte by byte, and the
// order column.
std::string Definition(const SyncSource& s) {
    std::string def = "(";
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        def += QuoteIdentifier(s.fields[i]) + " " + ServerTypeName(s.types[i]) +
               (s.types[i] == ServerType::Text ? " COLLATE \"C\", " : ", ");
    }
    return def + QuoteIdentifier(kOrderColumn) + " bigint NOT NULL)";
}

std::string ColumnList(const SyncSource& s) {
    std::string list = "(";
    for (const auto& field : s.fields) {
        list += QuoteIdentifier(field) + ", ";
    }
    return list + QuoteIdentifier(kOrderColumn) + ")";
}

// Sends the rows of the source `table` as the feed gives them: the table is never held
// whole.
std::int64_t CopyRows(ServerConnection& c, const std::string& table, const SyncSource& s,
                      CopyFeed& feed, std::size_t index, bool freeze) {
    // A table made in this transaction takes its rows frozen: nobody else sees it before
    // the commit, and no later vacuum has to visit them.
    ServerCopy copy(c, "COPY " + table + " " + ColumnList(s) + " FROM STDIN (FORMAT binary" +
                           (freeze ? ", FREEZE)" : ")"));
    for (bool last = false; !last;) {
        copy.send(feed.next(index, last));
    }
    return copy.finish();
}

struct Privilege {
    std::string role;  // quoted, or PUBLIC
    std::string type;  // SELECT, INSERT, ...
    bool grantable = false;
};

// The privileges of a table, the owner's own among them.
std::vector<Privilege> Privileges(ServerConnection& c, const std::string& table) {
    const ServerResult r = c.exec(
        "SELECT coalesce(r.rolname, ''), a.privilege_type, a.is_grantable"
        " FROM pg_class c"
        " CROSS JOIN LATERAL aclexplode(coalesce(c.relacl, acldefault('r', c.relowner))) a"
        " LEFT JOIN pg_roles r ON r.oid = a.grantee"
        " WHERE c.oid = $1::regclass",
        {table});
    std::vector<Privilege> privileges;
    for (int i = 0; i < r.rows(); ++i) {
        privileges.push_back(
            Privilege{r.text(i, 0).empty() ? std::string("PUBLIC") : QuoteIdentifier(r.text(i, 0)),
                      std::string(r.text(i, 1)), r.text(i, 2) == "t"});
    }
    return privileges;
}

// Gives the new table the very privileges the old one had, to roles and PUBLIC alike (those
// the default privileges gave it taken back first): grants survive the replacement.
void CopyPrivileges(ServerConnection& c, const std::string& oldTable, const std::string& newTable) {
    std::string script;
    std::set<std::string> roles;
    for (const Privilege& p : Privileges(c, newTable)) {
        if (roles.insert(p.role).second) {
            script += "REVOKE ALL ON " + newTable + " FROM " + p.role + ";";
        }
    }
    for (const Privilege& p : Privileges(c, oldTable)) {
        script += "GRANT " + p.type + " ON " + newTable + " TO " + p.role +
                  (p.grantable ? " WITH GRANT OPTION;" : ";");
    }
    c.execScript(script);
}

// The server's column of the table named as the suite compares names; null when missing.
const ExistingColumn* FindColumn(const std::map<std::string, std::vector<ExistingColumn>>& existing,
                                 const std::string& table, std::string_view field) {
    const auto found = existing.find(table);
    if (found == existing.end()) {
        return nullptr;
    }
    for (const ExistingColumn& column : found->second) {
        if (routines::StessoNome(column.name, field)) {
            return &column;
        }
    }
    return nullptr;
}

// The condition SurveySyncSources keeps a guest or booked room by, on the server: a departure
// on or after the day ($1), or one that is null or no yyyymmdd date.
std::string DepartingFrom(const ExistingColumn& departure) {
    const std::string d = QuoteIdentifier(departure.name) + "::text";
    return "(NOT coalesce(" + d + " ~ '^[0-9]{8}$', false) OR (" + d + " COLLATE \"C\") >= $1)";
}

// The rows the schema's table holds now, to set against the rows this sync copies of it.
// Without a history limit, all of them. With one, like is compared with like: the server's
// guests and booked rooms the same limit keeps, and its headers those booked rooms name,
// counted by SurveySyncSources' own rule, so that neither a full copy before a limited one nor
// a longer limit before a shorter one looks like a shrink, while an emptied or truncated
// file still does. (Leaving the guard off for those tables instead would let through the
// very loss of guests it is there for.) Empty when there is nothing to compare: no such
// table yet, or one without the fields the limit reads, which no chart could read anyway.
std::optional<std::int64_t> RowsOnServer(
    ServerConnection& c, const std::string& s, const SyncSource& source,
    const std::map<std::string, std::vector<ExistingColumn>>& existing) {
    if (existing.count(source.table) == 0) {
        return std::nullopt;
    }
    std::string sql = "SELECT count(*) FROM " + s + QuoteIdentifier(source.table);
    std::vector<ServerParam> parameters;
    if (!source.keptFrom.empty()) {
        const bool headers = source.table == "Scheda_Prenotazione";
        const std::string bookedRooms = "Camere_Prenotazione";
        const ExistingColumn* departure =
            FindColumn(existing, headers ? bookedRooms : source.table, "DataPartenza");
        if (departure == nullptr) {
            return std::nullopt;
        }
        if (headers) {
            const ExistingColumn* booking =
                FindColumn(existing, source.table, "NumeroPrenotazione");
            const ExistingColumn* roomBooking =
                FindColumn(existing, bookedRooms, "NumeroPrenotazione");
            if (booking == nullptr || roomBooking == nullptr ||
                booking->type != roomBooking->type) {
                return std::nullopt;
            }
            sql += " WHERE " + QuoteIdentifier(booking->name) + " IN (SELECT " +
                   QuoteIdentifier(roomBooking->name) + " FROM " + s +
                   QuoteIdentifier(bookedRooms) + " WHERE " + DepartingFrom(*departure) + ")";
        } else {
            sql += " WHERE " + DepartingFrom(*departure);
        }
        parameters.push_back(source.keptFrom);
    }
    return std::stoll(std::string(c.exec(sql, parameters).text(0, 0)));
}

std::string Rows(std::int64_t n) {
    return routines::ConPuntiMigliaia(n) + (n == 1 ? " riga" : " righe");
}

// What a table would shrink to, named for the refusal; empty when it keeps at least half
// the rows the server holds for it (or the server holds none to compare with).
std::string Shrinking(const SyncSource& source, std::int64_t rows,
                      std::optional<std::int64_t> onServer) {
    if (!onServer || rows * 2 >= *onServer) {
        return {};
    }
    std::string refused = source.table + ": " + Rows(rows) + " nella cartella contro " +
                          routines::ConPuntiMigliaia(*onServer) + " sul server";
    if (!source.keptFrom.empty()) {
        const std::string& d = source.keptFrom;
        refused += " (soggiorni con partenza dal " + d.substr(6, 2) + "/" + d.substr(4, 2) + "/" +
                   d.substr(0, 4) + " in poi)";
    }
    return refused;
}

[[noreturn]] void RefuseShrinking(const std::string& refused) {
    throw ErroreRiduzione(refused +
                          "; la sincronizzazione non \xC3\xA8 stata eseguita: lascerebbe "
                          "sul server tabelle vuote o con meno della met\xC3\xA0 delle righe");
}

// Refuses a copy that would leave a table of the server empty or with less than half its
// rows: a file emptied or cut short by a failed copy or an old backup would otherwise
// replace the site's data, and every chart after it, in silence. Returns the rows the
// server holds for each table, to hold the rows copied against them once more.
std::vector<std::optional<std::int64_t>> RefuseShrinking(
    ServerConnection& c, const std::string& s, const std::vector<SyncSource>& sources,
    const std::map<std::string, std::vector<ExistingColumn>>& existing) {
    std::string refused;
    std::vector<std::optional<std::int64_t>> counts;
    for (const SyncSource& source : sources) {
        counts.push_back(RowsOnServer(c, s, source, existing));
        const std::string shrinking = Shrinking(source, source.kept, counts.back());
        if (shrinking.empty()) {
            continue;
        }
        refused += (refused.empty() ? "" : "; ") + shrinking;
    }
    if (!refused.empty()) {
        RefuseShrinking(refused);
    }
    return counts;
}

std::string MachineName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return "?";
    }
    return name;
}

std::string Utf8(const std::string& text) {
    return routines::ScrittoInUtf8(text) ? text : routines::InUtf8(text);
}

}  // namespace

std::vector<SyncedTable> SyncToServer(const std::filesystem::path& cartellaDati,
                                      ServerConnection& connection, const std::string& schema,
                                      const SyncOptions& options) {
    // Every table is surveyed before the server is written: its fields checked, its rows
    // counted; its rows are read again and checked as they are copied.
    const std::vector<SyncSource> sources =
        SurveySyncSources(cartellaDati, options.historyMonths, options.today);
    const std::string schemaName = CheckSchemaName(schema);
    const std::string s = QuoteIdentifier(schemaName) + ".";

    // The rows are read from here on, a bounded way ahead of the server.
    CopyFeed feed(sources);
    Transaction transaction(connection);
    connection.execScript("SET LOCAL default_statistics_target = 30");
    // One sync of a schema at a time.
    connection.exec("SELECT pg_advisory_xact_lock(hashtext('tableau'), hashtext($1))",
                    {schemaName});
    std::vector<std::string> names;
    for (const auto& source : sources) {
        names.push_back(source.table);
        names.push_back(std::string(kNewPrefix) + source.table);
    }
    names.emplace_back(kSyncTable);
    const auto existing = ExistingColumns(connection, schemaName, TextArray(names));
    // Under the lock, before the first write: the counts are those the copy would replace.
    const std::string indexedFrom = MonthsBefore(SyncDay(options.today), kIndexedMonths);
    std::vector<std::optional<std::int64_t>> onServer(sources.size());
    if (!options.force) {
        onServer = RefuseShrinking(connection, s, sources, existing);
    }
    if (connection.exec("SELECT 1 FROM pg_namespace WHERE nspname = $1", {schemaName}).rows() ==
        0) {
        connection.execScript("CREATE SCHEMA " + QuoteIdentifier(schemaName));
    }
    const std::set<std::string> indexes = ExistingIndexes(connection, schemaName);
    std::vector<std::string> ourIndexes;
    for (const Index& index : kIndexes) {
        ourIndexes.push_back(IndexName(index.table, index.field));
    }
    const std::set<std::string> withDependents =
        TablesWithDependents(connection, schemaName, TextArray(names), TextArray(ourIndexes));

    std::vector<SyncedTable> copied;
    std::vector<const SyncSource*> replaced;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const SyncSource& source = sources[i];
        const auto found = existing.find(source.table);
        // The rows of a table of the same shape with objects built on it are replaced in
        // place; otherwise a new table is filled (much faster than rows deleted and indexes
        // kept up to date, and it leaves no dead rows behind) and takes the old one's place.
        const bool inPlace = found != existing.end() && SameShape(source, found->second) &&
                             withDependents.count(source.table) != 0;
        const std::string name = inPlace ? source.table : std::string(kNewPrefix) + source.table;
        const std::string table = s + QuoteIdentifier(name);
        if (inPlace) {
            connection.execScript("DELETE FROM " + table);
        } else {
            connection.execScript("DROP TABLE IF EXISTS " + table + "; CREATE TABLE " + table +
                                  " " + Definition(source));
            replaced.push_back(&source);
        }
        const std::int64_t rows = CopyRows(connection, table, source, feed, i, /*freeze=*/!inPlace);
        // A file cut short since it was surveyed is refused all the same.
        if (const std::string shrinking = Shrinking(source, rows, onServer[i]);
            !shrinking.empty()) {
            RefuseShrinking(shrinking);
        }
        std::string createIndexes;
        for (const Index& index : kIndexes) {
            const bool hasField = std::find(source.fields.begin(), source.fields.end(),
                                            index.field) != source.fields.end();
            const std::string indexName = IndexName(name, index.field);
            if (index.table == source.table && hasField &&
                (!inPlace || !indexes.count(indexName))) {
                const std::string field = QuoteIdentifier(index.field);
                // The day is digits of our own making: a statement that defines an index
                // takes no parameters.
                createIndexes += "CREATE INDEX " + QuoteIdentifier(indexName) + " ON " + table +
                                 " (" + field + ")" +
                                 (index.recent ? " WHERE " + field + " >= '" + indexedFrom + "'"
                                               : std::string()) +
                                 ";";
            }
        }
        // The statistics of the fields the chart's reads narrow by, for the planner to use
        // the indexes from the first read on, from a sample of 9,000 rows (a third of the
        // server's default): enough to tell a week's rows from the table's, and the
        // server's autovacuum, which analyses a table so renewed soon after, gathers the
        // full statistics and the rest.
        std::string fieldsRead;
        for (const std::string_view field :
             {"NumeroHotel", "DataArrivo", "DataPartenza", "CodiceCliente", "NumeroPrenotazione"}) {
            if (std::find(source.fields.begin(), source.fields.end(), field) !=
                source.fields.end()) {
                fieldsRead += (fieldsRead.empty() ? " (" : ", ") + QuoteIdentifier(field);
            }
        }
        connection.execScript(createIndexes + "ANALYZE " + table +
                              (fieldsRead.empty() ? std::string() : fieldsRead + ")"));
        copied.push_back(SyncedTable{source.table, rows});
    }

    // The new tables take the old ones' places, in the order readers lock them.
    for (const SyncSource* source : replaced) {
        const std::string oldTable = s + QuoteIdentifier(source->table);
        const std::string newTable = s + QuoteIdentifier(std::string(kNewPrefix) + source->table);
        std::string swapScript;
        if (existing.count(source->table) != 0) {
            CopyPrivileges(connection, oldTable, newTable);
            swapScript = "DROP TABLE " + oldTable + ";";
        }
        swapScript +=
            "ALTER TABLE " + newTable + " RENAME TO " + QuoteIdentifier(source->table) + ";";
        for (const Index& index : kIndexes) {
            if (index.table == source->table &&
                std::find(source->fields.begin(), source->fields.end(), index.field) !=
                    source->fields.end()) {
                swapScript += "ALTER INDEX " + s +
                              QuoteIdentifier(
                                  IndexName(std::string(kNewPrefix) + source->table, index.field)) +
                              " RENAME TO " +
                              QuoteIdentifier(IndexName(source->table, index.field)) + ";";
            }
        }
        connection.execScript(swapScript);
    }

    const std::string record = s + QuoteIdentifier(kSyncTable);
    if (existing.count(std::string(kSyncTable)) == 0) {
        connection.execScript("CREATE TABLE " + record +
                              " (quando timestamptz NOT NULL, cartella text NOT NULL,"
                              " macchina text NOT NULL)");
    }
    connection.execScript("DELETE FROM " + record);
    connection.exec(
        "INSERT INTO " + record + " (quando, cartella, macchina) VALUES (now(), $1, $2)",
        {Utf8(std::filesystem::absolute(cartellaDati).lexically_normal().string()),
         Utf8(MachineName())});
    transaction.commit();
    return copied;
}

}  // namespace tableau::db::server
