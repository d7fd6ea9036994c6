#include "db/server/server_sync.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "db/server/copy_text.h"
#include "db/server/server_schema.h"
#include "db/server/sync_source.h"
#include "db/sql_text.h"
#include "routines/codepage.h"

namespace tableau::db::server {
namespace {

// The fields the chart's reads narrow the rows by, indexed where the table has them. Of a
// week's "DataArrivo <= last day and DataPartenza > first day" only the departure is indexed:
// it picks out the stays of recent and coming weeks, which charts are asked for, while
// "DataArrivo <= ..." holds for nearly every row but those of the future.
struct Indice {
    std::string_view table;
    std::string_view field;
};
constexpr Indice kIndici[] = {
    {"NumeriCamere", "NumeroHotel"},         {"Scheda_Cliente", "DataPartenza"},
    {"Ditta_Intestataria", "CodiceCliente"}, {"Arrangiamento", "CodiceCliente"},
    {"Camere_Prenotazione", "DataPartenza"}, {"Scheda_Prenotazione", "NumeroPrenotazione"},
};

// A table of a new shape is filled under this prefix and takes its name at the end.
constexpr std::string_view kPrefissoNuova = "tableau_nuova ";

std::string NomeIndice(std::string_view table, std::string_view field) {
    return std::string(table) + " (" + std::string(field) + ")";
}

// Rolls back unless committed: a failure anywhere leaves the server as it was.
class Transazione {
  public:
    explicit Transazione(ServerConnection& c) : c_(c) { c_.execScript("BEGIN"); }
    ~Transazione() {
        if (!conclusa_) {
            try {
                c_.execScript("ROLLBACK");
            } catch (...) {
                // the connection is gone, and the transaction with it
            }
        }
    }
    Transazione(const Transazione&) = delete;
    Transazione& operator=(const Transazione&) = delete;
    void commit() {
        conclusa_ = true;
        c_.execScript("COMMIT");
    }

  private:
    ServerConnection& c_;
    bool conclusa_ = false;
};

struct ColonnaEsistente {
    std::string name;
    std::string type;
    std::string collation;
    bool notNull = false;
};

// The columns of the schema's tables of the given names, in their order.
std::map<std::string, std::vector<ColonnaEsistente>> ColonneEsistenti(ServerConnection& c,
                                                                      const std::string& schema,
                                                                      const std::string& nomi) {
    const ServerResult r = c.exec(
        "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod),"
        " coalesce(co.collname, ''), a.attnotnull"
        " FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped"
        " LEFT JOIN pg_collation co ON co.oid = a.attcollation"
        " WHERE n.nspname = $1 AND c.relname = ANY ($2::text[])"
        " ORDER BY c.relname, a.attnum",
        {schema, nomi});
    std::map<std::string, std::vector<ColonnaEsistente>> colonne;
    for (int i = 0; i < r.rows(); ++i) {
        colonne[std::string(r.text(i, 0))].push_back(
            ColonnaEsistente{std::string(r.text(i, 1)), std::string(r.text(i, 2)),
                             std::string(r.text(i, 3)), r.text(i, 4) == "t"});
    }
    return colonne;
}

std::set<std::string> IndiciEsistenti(ServerConnection& c, const std::string& schema) {
    const ServerResult r =
        c.exec("SELECT indexname FROM pg_indexes WHERE schemaname = $1", {schema});
    std::set<std::string> nomi;
    for (int i = 0; i < r.rows(); ++i) {
        nomi.emplace(r.text(i, 0));
    }
    return nomi;
}

// The schema's tables of the given names that other objects are built on: views, foreign
// keys, triggers, policies, publications, defaults, constraints, indexes other than the
// sync's own. Their rows are replaced in place, so that those objects stay.
std::set<std::string> TabelleConDipendenze(ServerConnection& c, const std::string& schema,
                                           const std::string& nomi, const std::string& indici) {
    const ServerResult r = c.exec(
        "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " WHERE n.nspname = $1 AND c.relname = ANY ($2::text[]) AND (EXISTS (SELECT 1"
        " FROM pg_depend d WHERE d.refclassid = 'pg_class'::regclass AND d.refobjid = c.oid"
        " AND d.classid NOT IN ('pg_class'::regclass, 'pg_type'::regclass))"
        " OR EXISTS (SELECT 1 FROM pg_index i JOIN pg_class ic ON ic.oid = i.indexrelid"
        " WHERE i.indrelid = c.oid AND ic.relname <> ALL ($3::text[])))",
        {schema, nomi, indici});
    std::set<std::string> tabelle;
    for (int i = 0; i < r.rows(); ++i) {
        tabelle.emplace(r.text(i, 0));
    }
    return tabelle;
}

// A text array literal of plain names ("{"a","b"}").
std::string ArrayDiTesti(const std::vector<std::string>& nomi) {
    std::string out = "{";
    for (const auto& nome : nomi) {
        out += out.size() > 1 ? ",\"" : "\"";
        for (const char ch : nome) {
            if (ch == '"' || ch == '\\') {
                out += '\\';
            }
            out += ch;
        }
        out += '"';
    }
    return out + "}";
}

// Whether the table on the server has the fields the file has, of the same types, and the
// order column: then its rows are replaced in place.
bool StessaForma(const SyncSource& s, const std::vector<ColonnaEsistente>& colonne) {
    if (colonne.size() != s.fields.size() + 1) {
        return false;
    }
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        const ColonnaEsistente& c = colonne[i];
        if (c.name != s.fields[i] || c.type != ServerTypeName(s.types[i]) || c.notNull ||
            (s.types[i] == ServerType::Text && c.collation != "C")) {
            return false;
        }
    }
    const ColonnaEsistente& ordine = colonne.back();
    return ordine.name == kOrderColumn && ordine.type == "bigint" && ordine.notNull;
}

// The columns of a new table: the file's fields, texts compared byte by byte, and the
// order column.
std::string Definizione(const SyncSource& s) {
    std::string def = "(";
    for (std::size_t i = 0; i < s.fields.size(); ++i) {
        def += QuoteIdentifier(s.fields[i]) + " " + ServerTypeName(s.types[i]) +
               (s.types[i] == ServerType::Text ? " COLLATE \"C\", " : ", ");
    }
    return def + QuoteIdentifier(kOrderColumn) + " bigint NOT NULL)";
}

std::string ElencoColonne(const SyncSource& s) {
    std::string list = "(";
    for (const auto& field : s.fields) {
        list += QuoteIdentifier(field) + ", ";
    }
    return list + QuoteIdentifier(kOrderColumn) + ")";
}

// Sends the kept rows in chunks of about a megabyte.
std::int64_t Copia(ServerConnection& c, const std::string& tabella, const SyncSource& s,
                   bool freeze) {
    constexpr std::size_t kPezzo = std::size_t{1} << 20;
    const auto& rows = s.rows.rows();
    std::size_t prossima = 0;
    // A table made in this transaction takes its rows frozen: nobody else sees it before
    // the commit, and no later vacuum has to visit them.
    return c.copyIn(
        "COPY " + tabella + " " + ElencoColonne(s) + " FROM STDIN" + (freeze ? " (FREEZE)" : ""),
        [&](std::string& chunk) {
            chunk.reserve(kPezzo + 4096);
            while (prossima < s.kept.size() && chunk.size() < kPezzo) {
                const std::size_t r = s.kept[prossima++];
                for (const Value& v : rows[r]) {
                    AppendCopyField(chunk, v);
                    chunk += '\t';
                }
                chunk += std::to_string(r);
                chunk += '\n';
            }
            return prossima < s.kept.size();
        });
}

struct Privilegio {
    std::string ruolo;  // quoted, or PUBLIC
    std::string tipo;   // SELECT, INSERT, ...
    bool concedibile = false;
};

// The privileges of a table, the owner's own among them.
std::vector<Privilegio> Privilegi(ServerConnection& c, const std::string& tabella) {
    const ServerResult r = c.exec(
        "SELECT coalesce(r.rolname, ''), a.privilege_type, a.is_grantable"
        " FROM pg_class c"
        " CROSS JOIN LATERAL aclexplode(coalesce(c.relacl, acldefault('r', c.relowner))) a"
        " LEFT JOIN pg_roles r ON r.oid = a.grantee"
        " WHERE c.oid = $1::regclass",
        {tabella});
    std::vector<Privilegio> privilegi;
    for (int i = 0; i < r.rows(); ++i) {
        privilegi.push_back(
            Privilegio{r.text(i, 0).empty() ? std::string("PUBLIC") : QuoteIdentifier(r.text(i, 0)),
                       std::string(r.text(i, 1)), r.text(i, 2) == "t"});
    }
    return privilegi;
}

// Gives the new table the very privileges the old one had, to roles and PUBLIC alike (those
// the default privileges gave it taken back first): grants survive the replacement.
void CopiaPrivilegi(ServerConnection& c, const std::string& vecchia, const std::string& nuova) {
    std::string script;
    std::set<std::string> ruoli;
    for (const Privilegio& p : Privilegi(c, nuova)) {
        if (ruoli.insert(p.ruolo).second) {
            script += "REVOKE ALL ON " + nuova + " FROM " + p.ruolo + ";";
        }
    }
    for (const Privilegio& p : Privilegi(c, vecchia)) {
        script += "GRANT " + p.tipo + " ON " + nuova + " TO " + p.ruolo +
                  (p.concedibile ? " WITH GRANT OPTION;" : ";");
    }
    c.execScript(script);
}

std::string NomeMacchina() {
    char nome[256] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0) {
        return "?";
    }
    return nome;
}

std::string Utf8(const std::string& testo) {
    return routines::ScrittoInUtf8(testo) ? testo : routines::InUtf8(testo);
}

}  // namespace

std::vector<SyncedTable> SyncToServer(const std::filesystem::path& cartellaDati,
                                      ServerConnection& connection, const std::string& schema,
                                      const SyncOptions& options) {
    // Every file is read and checked before the server is written.
    const std::vector<SyncSource> sources =
        ReadSyncSources(cartellaDati, options.storicoMesi, options.today);
    const std::string nomeSchema = CheckSchemaName(schema);
    const std::string s = QuoteIdentifier(nomeSchema) + ".";

    Transazione transazione(connection);
    // One sync of a schema at a time.
    connection.exec("SELECT pg_advisory_xact_lock(hashtext('tableau'), hashtext($1))",
                    {nomeSchema});
    if (connection.exec("SELECT 1 FROM pg_namespace WHERE nspname = $1", {nomeSchema}).rows() ==
        0) {
        connection.execScript("CREATE SCHEMA " + QuoteIdentifier(nomeSchema));
    }
    std::vector<std::string> nomi;
    for (const auto& source : sources) {
        nomi.push_back(source.table);
        nomi.push_back(std::string(kPrefissoNuova) + source.table);
    }
    nomi.emplace_back(kSyncTable);
    const auto esistenti = ColonneEsistenti(connection, nomeSchema, ArrayDiTesti(nomi));
    const std::set<std::string> indici = IndiciEsistenti(connection, nomeSchema);
    std::vector<std::string> nostriIndici;
    for (const Indice& indice : kIndici) {
        nostriIndici.push_back(NomeIndice(indice.table, indice.field));
    }
    const std::set<std::string> conDipendenze = TabelleConDipendenze(
        connection, nomeSchema, ArrayDiTesti(nomi), ArrayDiTesti(nostriIndici));

    std::vector<SyncedTable> copiate;
    std::vector<const SyncSource*> sostituite;
    for (const SyncSource& source : sources) {
        const auto found = esistenti.find(source.table);
        // The rows of a table of the same shape with objects built on it are replaced in
        // place; otherwise a new table is filled (much faster than rows deleted and indexes
        // kept up to date, and it leaves no dead rows behind) and takes the old one's place.
        const bool sulPosto = found != esistenti.end() && StessaForma(source, found->second) &&
                              conDipendenze.count(source.table) != 0;
        const std::string nome =
            sulPosto ? source.table : std::string(kPrefissoNuova) + source.table;
        const std::string tabella = s + QuoteIdentifier(nome);
        if (sulPosto) {
            connection.execScript("DELETE FROM " + tabella);
        } else {
            connection.execScript("DROP TABLE IF EXISTS " + tabella + "; CREATE TABLE " + tabella +
                                  " " + Definizione(source));
            sostituite.push_back(&source);
        }
        const std::int64_t righe = Copia(connection, tabella, source, /*freeze=*/!sulPosto);
        std::string crea;
        for (const Indice& indice : kIndici) {
            const bool campo = std::find(source.fields.begin(), source.fields.end(),
                                         indice.field) != source.fields.end();
            const std::string nomeIndice = NomeIndice(nome, indice.field);
            if (indice.table == source.table && campo && (!sulPosto || !indici.count(nomeIndice))) {
                crea += "CREATE INDEX " + QuoteIdentifier(nomeIndice) + " ON " + tabella + " (" +
                        QuoteIdentifier(indice.field) + ");";
            }
        }
        // The statistics of the fields the chart's reads narrow by, for the planner to use
        // the indexes from the first read on; the server's autovacuum gathers the rest.
        std::string campiLetti;
        for (const std::string_view campo :
             {"NumeroHotel", "DataArrivo", "DataPartenza", "CodiceCliente", "NumeroPrenotazione"}) {
            if (std::find(source.fields.begin(), source.fields.end(), campo) !=
                source.fields.end()) {
                campiLetti += (campiLetti.empty() ? " (" : ", ") + QuoteIdentifier(campo);
            }
        }
        connection.execScript(crea + "ANALYZE " + tabella +
                              (campiLetti.empty() ? std::string() : campiLetti + ")"));
        copiate.push_back(SyncedTable{source.table, righe});
    }

    // The new tables take the old ones' places, in the order readers lock them.
    for (const SyncSource* source : sostituite) {
        const std::string vecchia = s + QuoteIdentifier(source->table);
        const std::string nuova = s + QuoteIdentifier(std::string(kPrefissoNuova) + source->table);
        std::string cambio;
        if (esistenti.count(source->table) != 0) {
            CopiaPrivilegi(connection, vecchia, nuova);
            cambio = "DROP TABLE " + vecchia + ";";
        }
        cambio += "ALTER TABLE " + nuova + " RENAME TO " + QuoteIdentifier(source->table) + ";";
        for (const Indice& indice : kIndici) {
            if (indice.table == source->table &&
                std::find(source->fields.begin(), source->fields.end(), indice.field) !=
                    source->fields.end()) {
                cambio += "ALTER INDEX " + s +
                          QuoteIdentifier(NomeIndice(std::string(kPrefissoNuova) + source->table,
                                                     indice.field)) +
                          " RENAME TO " + QuoteIdentifier(NomeIndice(source->table, indice.field)) +
                          ";";
            }
        }
        connection.execScript(cambio);
    }

    const std::string registro = s + QuoteIdentifier(kSyncTable);
    if (esistenti.count(std::string(kSyncTable)) == 0) {
        connection.execScript("CREATE TABLE " + registro +
                              " (quando timestamptz NOT NULL, cartella text NOT NULL,"
                              " macchina text NOT NULL)");
    }
    connection.execScript("DELETE FROM " + registro);
    connection.exec(
        "INSERT INTO " + registro + " (quando, cartella, macchina) VALUES (now(), $1, $2)",
        {Utf8(std::filesystem::absolute(cartellaDati).lexically_normal().string()),
         Utf8(NomeMacchina())});
    transazione.commit();
    return copiate;
}

}  // namespace tableau::db::server
