// The nightly copy of a data directory into a schema of the server: values kept exactly
// (texts converted to UTF-8, escapes, nulls, reals), all or nothing, grants kept, the
// history cut by months, a table without a field the chart reads or cut short refused.
#include "db/server/server_sync.h"
#include "db/sql_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "db/errors.h"
#include "db/server/server_schema.h"
#include "db/server/sync_source.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace tableau::db::server {
namespace {

using test::EseguiSulPrimario;
using test::HotelFixture;
using test::SchemaDiProva;
using test::ServerPrimario;

// The rows of a query, fields joined by "|", a null as "<null>".
std::vector<std::string> Righe(const std::string& sql) {
    ServerConnection c(ServerPrimario());
    const ServerResult r = c.exec(sql);
    std::vector<std::string> righe;
    for (int i = 0; i < r.rows(); ++i) {
        std::string riga;
        for (int j = 0; j < r.columns(); ++j) {
            riga += (j > 0 ? "|" : "") +
                    (r.isNull(i, j) ? std::string("<null>") : std::string(r.text(i, j)));
        }
        righe.push_back(riga);
    }
    return righe;
}

std::vector<SyncedTable> Sincronizza(const std::filesystem::path& cartella,
                                     const std::string& schema, SyncOptions opzioni = {}) {
    ServerConnection c(ServerPrimario());
    return SyncToServer(cartella, c, schema, opzioni);
}

// A hotel whose texts need every escape and conversion, with a field of reals.
void HotelDifficile(HotelFixture& fx, bool conReali = true) {
    fx.hotel(1, "Albergo \xE2\x80\x9CS\xC3\xA8\xE2\x80\x9D \xE2\x82\xAC");  // “Sè” €
    fx.hotel(2, "tab\there\\back\nnew\rcr");
    fx.hotel(3, "\\N");
    fx.add("AnagraficaHotels", {{"Numero", std::int64_t{4}}, {"RagioneSociale", std::string()}});
    fx.add("AnagraficaHotels", {{"Numero", std::int64_t{5}}});
    fx.hotel(6, "\\.");
    if (!conReali) {
        return;
    }
    writer::SqliteWriter w(fx.dir() / "NumeriCamere.mdb");
    w.exec("ALTER TABLE NumeriCamere ADD COLUMN Prezzo REAL");
    w.exec(
        "INSERT INTO NumeriCamere (NumeroHotel, NumeroTableau, NumeroCamera, Prezzo) VALUES"
        " (1, 1, 'a10', 0.1), (1, 1, 'B2', 1e300), (1, 1, '\xC3\xA4', -2.5e-310),"
        " (1, 1, '7', 123456789.12345679), (1, 1, '8', NULL), (9223372036854775807, 1, '9', 3.0)");
}

TEST(ServerSync, CopiesEveryValueAsTheFileHoldsIt) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    HotelDifficile(fx);
    SchemaDiProva schema(/*crealo=*/false);
    const auto copiate = Sincronizza(fx.dir(), schema.nome());
    ASSERT_EQ(copiate.size(), ServerTables().size());
    EXPECT_EQ(copiate[0].table, "AnagraficaHotels");
    EXPECT_EQ(copiate[0].rows, 6);

    const std::string s = schema.nome() + ".";
    EXPECT_EQ(
        Righe("SELECT \"Numero\", \"RagioneSociale\", \"CodiceAssistenza\", tableau_riga FROM " +
              s + "\"AnagraficaHotels\" ORDER BY tableau_riga"),
        (std::vector<std::string>{"1|Albergo \xE2\x80\x9CS\xC3\xA8\xE2\x80\x9D \xE2\x82\xAC||0",
                                  "2|tab\there\\back\nnew\rcr||1", "3|\\N||2", "4||<null>|3",
                                  "5|<null>|<null>|4", "6|\\.||5"}));
    // Reals with every digit: they read back as the same doubles.
    EXPECT_EQ(Righe("SELECT \"NumeroCamera\", \"Prezzo\", \"NumeroHotel\" FROM " + s +
                    "\"NumeriCamere\" ORDER BY tableau_riga"),
              (std::vector<std::string>{"a10|0.1|1", "B2|1e+300|1", "\xC3\xA4|-2.5e-310|1",
                                        "7|123456789.12345679|1", "8|<null>|1",
                                        "9|3|9223372036854775807"}));
    // The file's field names and types; texts compared byte by byte.
    EXPECT_EQ(Righe("SELECT a.attname, format_type(a.atttypid, a.atttypmod),"
                    " coalesce(co.collname, '-'), a.attnotnull FROM pg_attribute a"
                    " LEFT JOIN pg_collation co ON co.oid = a.attcollation"
                    " WHERE a.attrelid = '" +
                    s + "\"NumeriCamere\"'::regclass AND a.attnum > 0 ORDER BY a.attnum"),
              (std::vector<std::string>{"NumeroHotel|bigint|-|f", "NumeroTableau|bigint|-|f",
                                        "NumeroCamera|text|C|f", "TipoCamera|text|C|f",
                                        "PostiLetto|bigint|-|f", "Prezzo|double precision|-|f",
                                        "tableau_riga|bigint|-|t"}));
    // When and from where.
    const auto registro = Righe(
        "SELECT cartella, macchina <> '', now() - quando < interval '1 minute'"
        " FROM " +
        s + "tableau_sincronizzazione");
    ASSERT_EQ(registro.size(), 1u);
    EXPECT_EQ(registro[0],
              std::filesystem::absolute(fx.dir()).lexically_normal().string() + "|t|t");
}

TEST(ServerSync, RunningTwiceIsHarmlessAndLeavesOtherObjectsAlone) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    HotelDifficile(fx);
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    EseguiSulPrimario("CREATE TABLE " + s + "appunti (testo text); INSERT INTO " + s +
                      "appunti VALUES ('mio')");
    Sincronizza(fx.dir(), schema.nome());
    EseguiSulPrimario("CREATE VIEW " + s + "alberghi AS SELECT \"RagioneSociale\" FROM " + s +
                      "\"AnagraficaHotels\"");
    const auto prima = Righe("SELECT * FROM " + s + "\"NumeriCamere\" ORDER BY tableau_riga");
    Sincronizza(fx.dir(), schema.nome());
    EXPECT_EQ(Righe("SELECT * FROM " + s + "\"NumeriCamere\" ORDER BY tableau_riga"), prima);
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "tableau_sincronizzazione"),
              (std::vector<std::string>{"1"}));
    EXPECT_EQ(Righe("SELECT testo FROM " + s + "appunti"), (std::vector<std::string>{"mio"}));
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "alberghi"), (std::vector<std::string>{"6"}));
    // The indexes the chart's reads use, once each.
    EXPECT_EQ(Righe("SELECT indexname FROM pg_indexes WHERE schemaname = '" + schema.nome() +
                    "' AND tablename = 'Scheda_Cliente' ORDER BY 1"),
              (std::vector<std::string>{"Scheda_Cliente (DataPartenza)"}));
}

TEST(ServerSync, AFileThatCannotBeReadOrAValueThatDoesNotFitChangesNothing) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    HotelDifficile(fx);
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    Sincronizza(fx.dir(), schema.nome());
    const auto prima = Righe("SELECT * FROM " + s + "\"AnagraficaHotels\" ORDER BY tableau_riga");
    const auto registro = Righe("SELECT * FROM " + s + "tableau_sincronizzazione");

    fx.hotel(7, "Nuovo");
    {
        writer::SqliteWriter w(fx.dir() / "Scheda_Cliente.mdb");
        w.exec("INSERT INTO Scheda_Cliente (NumeroHotel) VALUES (1), ('uno')");
    }
    try {
        Sincronizza(fx.dir(), schema.nome());
        FAIL() << "a text in an integer field was synced";
    } catch (const ErroreArchivio& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("Scheda_Cliente.mdb"), std::string::npos) << m;
        EXPECT_NE(m.find("campo NumeroHotel, riga 2"), std::string::npos) << m;
        EXPECT_NE(m.find("\"uno\""), std::string::npos) << m;
    }
    {
        writer::SqliteWriter w(fx.dir() / "Scheda_Cliente.mdb");
        w.exec("DELETE FROM Scheda_Cliente");
    }
    std::filesystem::remove(fx.dir() / "Ditta_Intestataria.mdb");
    try {
        Sincronizza(fx.dir(), schema.nome());
        FAIL() << "a missing file went unnoticed";
    } catch (const ErroreArchivio& e) {
        EXPECT_NE(std::string(e.what()).find("Ditta_Intestataria.mdb"), std::string::npos);
    }
    {
        std::ofstream rotto(fx.dir() / "Ditta_Intestataria.mdb", std::ios::binary);
        rotto << std::string("SQLite format 3\0", 16) << std::string(300, 'x');
    }
    EXPECT_THROW(Sincronizza(fx.dir(), schema.nome()), ErroreArchivio);
    EXPECT_EQ(Righe("SELECT * FROM " + s + "\"AnagraficaHotels\" ORDER BY tableau_riga"), prima);
    EXPECT_EQ(Righe("SELECT * FROM " + s + "tableau_sincronizzazione"), registro);
}

TEST(ServerSync, ARoleThatMayNotWriteGetsTheServersRefusal) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    EseguiSulPrimario(
        "DROP ROLE IF EXISTS prova_sola_lettura; CREATE ROLE prova_sola_lettura LOGIN;"
        "GRANT USAGE ON SCHEMA " +
        schema.nome() +
        " TO prova_sola_lettura;"
        "GRANT SELECT ON ALL TABLES IN SCHEMA " +
        schema.nome() + " TO prova_sola_lettura");
    ServerConnection c("host=127.0.0.1 port=55432 user=prova_sola_lettura dbname=postgres");
    try {
        SyncToServer(fx.dir(), c, schema.nome(), {});
        FAIL() << "a read-only role synced";
    } catch (const ErroreServer& e) {
        EXPECT_EQ(e.sqlstate(), "42501") << e.what();
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:55432/postgres"), std::string::npos);
    }
    EseguiSulPrimario("DROP OWNED BY prova_sola_lettura; DROP ROLE prova_sola_lettura");
}

TEST(ServerSync, GrantsSurviveEvenATableOfANewShape) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    HotelDifficile(fx);
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    EseguiSulPrimario(
        "DROP ROLE IF EXISTS prova_lettore; CREATE ROLE prova_lettore;"
        "DROP ROLE IF EXISTS prova_nuovo; CREATE ROLE prova_nuovo;"
        "ALTER DEFAULT PRIVILEGES IN SCHEMA " +
        schema.nome() + " GRANT SELECT ON TABLES TO prova_nuovo");
    Sincronizza(fx.dir(), schema.nome());
    EseguiSulPrimario("GRANT SELECT ON ALL TABLES IN SCHEMA " + schema.nome() +
                      " TO prova_lettore; GRANT UPDATE ON " + s +
                      "\"NumeriCamere\" TO prova_lettore WITH GRANT OPTION;"
                      "REVOKE SELECT ON " +
                      s + "\"Tableau\" FROM prova_nuovo");
    {
        writer::SqliteWriter w(fx.dir() / "NumeriCamere.mdb");
        w.exec("ALTER TABLE NumeriCamere ADD COLUMN Piano INTEGER");
    }
    Sincronizza(fx.dir(), schema.nome());
    const auto privilegi = [&](const std::string& tabella, const std::string& ruolo) {
        return Righe(
            "SELECT privilege_type, is_grantable FROM information_schema.table_privileges"
            " WHERE table_schema = '" +
            schema.nome() + "' AND table_name = '" + tabella + "' AND grantee = '" + ruolo +
            "' ORDER BY 1");
    };
    EXPECT_EQ(privilegi("NumeriCamere", "prova_lettore"),
              (std::vector<std::string>{"SELECT|NO", "UPDATE|YES"}));
    EXPECT_EQ(privilegi("NumeriCamere", "prova_nuovo"), (std::vector<std::string>{"SELECT|NO"}));
    EXPECT_EQ(privilegi("Scheda_Cliente", "prova_lettore"),
              (std::vector<std::string>{"SELECT|NO"}));
    // A default privilege taken back from a table stays taken back.
    EXPECT_EQ(privilegi("Tableau", "prova_nuovo"), (std::vector<std::string>{}));
    EXPECT_EQ(privilegi("Tableau", "prova_lettore"), (std::vector<std::string>{"SELECT|NO"}));
    EXPECT_EQ(Righe("SELECT count(\"Piano\") FROM " + s + "\"NumeriCamere\""),
              (std::vector<std::string>{"0"}));
    EXPECT_EQ(Righe("SELECT indexname FROM pg_indexes WHERE schemaname = '" + schema.nome() +
                    "' AND tablename = 'NumeriCamere'"),
              (std::vector<std::string>{"NumeriCamere (NumeroHotel)"}));
    EseguiSulPrimario("DROP SCHEMA " + schema.nome() +
                      " CASCADE;"
                      "DROP OWNED BY prova_lettore; DROP ROLE prova_lettore;"
                      "DROP OWNED BY prova_nuovo; DROP ROLE prova_nuovo");
}

TEST(ServerSync, KeepsOnlyTheMonthsAskedForOfGuestsAndBookings) {
    TABLEAU_RICHIEDE_SERVER();
    EXPECT_EQ(MonthsBefore("20260331", 1), "20260228");
    EXPECT_EQ(MonthsBefore("20260115", 13), "20241215");
    HotelFixture fx;
    const auto ospite = [&](std::int64_t n, const writer::Cell& partenza) {
        fx.add("Scheda_Cliente", {{"NumeroProgressivo", n}, {"DataPartenza", partenza}});
    };
    ospite(1, std::string("20250101"));
    ospite(2, std::string("20260208"));
    ospite(3, std::string("20260207"));
    ospite(4, writer::Cell{});
    ospite(5, std::string("2025-01-01"));
    const auto prenotazione = [&](std::int64_t n, const std::string& partenza) {
        fx.add("Camere_Prenotazione", {{"NumeroPrenotazione", n}, {"DataPartenza", partenza}});
        fx.add("Scheda_Prenotazione", {{"NumeroPrenotazione", n}});
    };
    prenotazione(10, "20240101");
    prenotazione(11, "20270101");
    fx.add("Scheda_Prenotazione", {{"NumeroPrenotazione", std::int64_t{12}}});
    fx.hotel(1, "Resta intero");
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    const auto copiate = Sincronizza(fx.dir(), schema.nome(), SyncOptions{10, "20261208"});
    EXPECT_EQ(Righe("SELECT \"NumeroProgressivo\", tableau_riga FROM " + s +
                    "\"Scheda_Cliente\" ORDER BY tableau_riga"),
              (std::vector<std::string>{"2|1", "4|3", "5|4"}));
    EXPECT_EQ(Righe("SELECT \"NumeroPrenotazione\" FROM " + s + "\"Camere_Prenotazione\""),
              (std::vector<std::string>{"11"}));
    EXPECT_EQ(Righe("SELECT \"NumeroPrenotazione\" FROM " + s + "\"Scheda_Prenotazione\""),
              (std::vector<std::string>{"11"}));
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"AnagraficaHotels\""),
              (std::vector<std::string>{"1"}));
    EXPECT_EQ(copiate[4].table, "Scheda_Cliente");
    EXPECT_EQ(copiate[4].rows, 3);

    // The departures are indexed from a year before the sync's day: a week's read from then on
    // finds its rows through the index, its values bound as the server reader binds them.
    EXPECT_EQ(Righe("SELECT indexdef LIKE '%WHERE (\"DataPartenza\" >= ''20251208''::text)' FROM"
                    " pg_indexes WHERE schemaname = '" +
                    schema.nome() + "' AND tablename IN ('Scheda_Cliente', 'Camere_Prenotazione')"),
              (std::vector<std::string>{"t", "t"}));
    ServerConnection c(ServerPrimario());
    c.execScript("SET enable_seqscan = off");
    const auto piano = [&](const std::string& giorno) {
        std::string testo;
        const ServerResult r = c.exec("EXPLAIN SELECT * FROM " + s +
                                          "\"Scheda_Cliente\" WHERE \"DataArrivo\" <= $1 AND"
                                          " \"DataPartenza\" > $2",
                                      {std::string("20261231"), giorno});
        for (int i = 0; i < r.rows(); ++i) {
            testo += std::string(r.text(i, 0)) + "\n";
        }
        return testo;
    };
    EXPECT_NE(piano("20261201").find("Scheda_Cliente (DataPartenza)"), std::string::npos)
        << piano("20261201");
    EXPECT_EQ(piano("20240101").find("Scheda_Cliente (DataPartenza)"), std::string::npos)
        << piano("20240101");
}

TEST(ServerSync, JetFilesGiveTheSameTablesAsSqliteFiles) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    HotelDifficile(fx, /*conReali=*/false);
    fx.camera(1, 1, "\xC3\xA4", "DOP", 2);
    fx.add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}},
                              {"NomeCliente", std::string("Citt\xC3\xA0 \xE2\x80\x99")},
                              {"DataPartenza", std::string("20260101")}});
    test::TempDir jet;
    for (const auto& t : ServerTables()) {
        writer::ConvertHotelFileToJet(fx.dir() / std::string(t.file),
                                      jet.path() / std::string(t.file));
    }
    SchemaDiProva daSqlite;
    SchemaDiProva daJet;
    Sincronizza(fx.dir(), daSqlite.nome());
    Sincronizza(jet.path(), daJet.nome());
    for (const auto& t : ServerTables()) {
        const std::string tabella = QuoteIdentifier(t.table);
        EXPECT_EQ(
            Righe("SELECT * FROM " + daJet.nome() + "." + tabella + " ORDER BY tableau_riga"),
            Righe("SELECT * FROM " + daSqlite.nome() + "." + tabella + " ORDER BY tableau_riga"))
            << t.table;
    }
}

TEST(ServerSync, ASyncCutOffHalfWayLeavesTheOldRows) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    fx.hotel(1, "Prima");
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    Sincronizza(fx.dir(), schema.nome());
    fx.hotel(2, "Dopo");
    writer::SqliteWriter(fx.dir() / "Scheda_Cliente.mdb")
        .exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000)"
            " INSERT INTO Scheda_Cliente (NumeroHotel, NumeroCamera, NomeCliente)"
            " SELECT 1, i, 'Ospite numero ' || i FROM n");
    // Another connection ends the sync's as soon as it copies the guests.
    std::atomic<bool> finito{false};
    std::atomic<bool> interrotta{false};
    std::thread interruttore([&] {
        ServerConnection c(ServerPrimario());
        while (!finito && !interrotta) {
            interrotta = c.exec(
                              "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                              " WHERE query LIKE 'COPY %' AND query LIKE $1",
                              {"%" + schema.nome() + "%Scheda_Cliente%"})
                             .rows() > 0;
        }
    });
    try {
        Sincronizza(fx.dir(), schema.nome());
        ADD_FAILURE() << "the sync was not cut off";
    } catch (const ErroreServer& e) {
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:55432/postgres"), std::string::npos);
    }
    finito = true;
    interruttore.join();
    EXPECT_TRUE(interrotta);
    EXPECT_EQ(Righe("SELECT \"RagioneSociale\" FROM " + s + "\"AnagraficaHotels\""),
              (std::vector<std::string>{"Prima"}));
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\""),
              (std::vector<std::string>{"0"}));
    Sincronizza(fx.dir(), schema.nome());
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\""),
              (std::vector<std::string>{"300000"}));
}

// The message of the refusal a sync throws; empty when it went through.
template <typename Errore>
std::string Rifiuto(const std::filesystem::path& cartella, const std::string& schema,
                    SyncOptions opzioni = {}) {
    try {
        Sincronizza(cartella, schema, opzioni);
    } catch (const Errore& e) {
        return e.what();
    }
    return {};
}

void Esegui(const std::filesystem::path& archivio, const std::string& sql) {
    writer::SqliteWriter(archivio).exec(sql);
}

// n guests of hotel 1, numbered from `primo`, leaving on the day.
void Ospiti(HotelFixture& fx, int n, int primo = 1, const std::string& partenza = "20260320") {
    Esegui(fx.dir() / "Scheda_Cliente.mdb",
           "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(primo) +
               " UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(primo + n - 1) +
               ") INSERT INTO Scheda_Cliente (NumeroHotel, NumeroProgressivo, DataPartenza)"
               " SELECT 1, i, '" +
               partenza + "' FROM n");
}

TEST(ServerSync, ATableWithoutAFieldTheChartReadsIsRefusedBeforeTheServerIsWritten) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    fx.hotel(1, "Prima");
    fx.add("Ditta_Intestataria", {{"NumeroHotel", std::int64_t{1}},
                                  {"CodiceCliente", std::int64_t{1}},
                                  {"RagioneSociale", std::string("Ditta Uno")}});
    SchemaDiProva nuovo(/*crealo=*/false);
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    Sincronizza(fx.dir(), schema.nome());
    const auto ditte = Righe("SELECT * FROM " + s + "\"Ditta_Intestataria\"");
    const auto registro = Righe("SELECT * FROM " + s + "tableau_sincronizzazione");

    fx.hotel(2, "Dopo");
    Esegui(fx.dir() / "Ditta_Intestataria.mdb",
           "ALTER TABLE Ditta_Intestataria DROP COLUMN RagioneSociale");
    std::string m = Rifiuto<ErroreArchivio>(fx.dir(), schema.nome());
    EXPECT_NE(m.find("Ditta_Intestataria.mdb: Campo \"RagioneSociale\" non trovato nella "
                     "tabella Ditta_Intestataria"),
              std::string::npos)
        << m;
    EXPECT_NE(m.find("la sincronizzazione non \xC3\xA8 stata eseguita"), std::string::npos) << m;

    // Every field missing is named at once, and the history limit (which reads DataPartenza)
    // does not get in first with a message of its own.
    Esegui(fx.dir() / "Scheda_Cliente.mdb", "ALTER TABLE Scheda_Cliente DROP COLUMN DataPartenza");
    m = Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), SyncOptions{6, "20261208"});
    EXPECT_NE(m.find("Ditta_Intestataria.mdb: Campo \"RagioneSociale\""), std::string::npos) << m;
    EXPECT_NE(m.find("Scheda_Cliente.mdb: Campo \"DataPartenza\" non trovato nella tabella "
                     "Scheda_Cliente"),
              std::string::npos)
        << m;
    // Forcing is for tables cut short, not for missing fields.
    EXPECT_NE(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), SyncOptions{{}, {}, true}), "");

    // A table missing from its file is named with the file.
    Esegui(fx.dir() / "Tableau.mdb", "ALTER TABLE Tableau RENAME TO Blocchi");
    m = Rifiuto<ErroreArchivio>(fx.dir(), nuovo.nome());
    EXPECT_NE(m.find("Tableau"), std::string::npos) << m;
    EXPECT_NE(m.find("Tableau.mdb"), std::string::npos) << m;

    EXPECT_EQ(Righe("SELECT * FROM " + s + "\"Ditta_Intestataria\""), ditte);
    EXPECT_EQ(Righe("SELECT \"RagioneSociale\" FROM " + s + "\"AnagraficaHotels\""),
              (std::vector<std::string>{"Prima"}));
    EXPECT_EQ(Righe("SELECT * FROM " + s + "tableau_sincronizzazione"), registro);
    EXPECT_EQ(Righe("SELECT count(*) FROM pg_namespace WHERE nspname = '" + nuovo.nome() + "'"),
              (std::vector<std::string>{"0"}));
}

TEST(ServerSync, ATableLeftEmptyOrBelowHalfItsRowsIsRefusedUnlessForced) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    fx.hotel(1, "Prima");
    Ospiti(fx, 1234);
    fx.add("Arrangiamento", {{"CodiceCliente", std::int64_t{1}}});
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    Sincronizza(fx.dir(), schema.nome());
    const auto registro = Righe("SELECT * FROM " + s + "tableau_sincronizzazione");
    const auto ospiti = [&] {
        return std::stol(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\"").at(0));
    };

    // Emptied: refused with both counts, every table at fault named, nothing written.
    fx.hotel(2, "Dopo");
    Esegui(fx.dir() / "Scheda_Cliente.mdb", "DELETE FROM Scheda_Cliente");
    Esegui(fx.dir() / "Arrangiamento.mdb", "DELETE FROM Arrangiamento");
    std::string m = Rifiuto<ErroreRiduzione>(fx.dir(), schema.nome());
    EXPECT_NE(m.find("Scheda_Cliente: 0 righe nella cartella contro 1.234 sul server"),
              std::string::npos)
        << m;
    EXPECT_NE(m.find("Arrangiamento: 0 righe nella cartella contro 1 sul server"),
              std::string::npos)
        << m;
    EXPECT_NE(m.find("la sincronizzazione non \xC3\xA8 stata eseguita"), std::string::npos) << m;
    EXPECT_EQ(ospiti(), 1234);
    EXPECT_EQ(Righe("SELECT \"RagioneSociale\" FROM " + s + "\"AnagraficaHotels\""),
              (std::vector<std::string>{"Prima"}));
    EXPECT_EQ(Righe("SELECT * FROM " + s + "tableau_sincronizzazione"), registro);

    // Below half: refused; half exactly, or growing back, goes through.
    Ospiti(fx, 616);
    fx.add("Arrangiamento", {{"CodiceCliente", std::int64_t{1}}});
    m = Rifiuto<ErroreRiduzione>(fx.dir(), schema.nome());
    EXPECT_NE(m.find("Scheda_Cliente: 616 righe nella cartella contro 1.234 sul server"),
              std::string::npos)
        << m;
    EXPECT_EQ(m.find("Arrangiamento"), std::string::npos) << m;
    EXPECT_EQ(ospiti(), 1234);
    Ospiti(fx, 1, 617);
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome()), "");
    EXPECT_EQ(ospiti(), 617);

    // Forced, the table is emptied; an empty table stays empty without forcing.
    Esegui(fx.dir() / "Scheda_Cliente.mdb", "DELETE FROM Scheda_Cliente");
    EXPECT_NE(Rifiuto<ErroreRiduzione>(fx.dir(), schema.nome()), "");
    const auto copiate = Sincronizza(fx.dir(), schema.nome(), SyncOptions{{}, {}, true});
    EXPECT_EQ(copiate.at(4).table, "Scheda_Cliente");
    EXPECT_EQ(copiate.at(4).rows, 0);
    EXPECT_EQ(ospiti(), 0);
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome()), "");
}

TEST(ServerSync, ABadValueInTheLastTableLeavesEveryTableAsItWas) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    fx.hotel(1, "Prima");
    Ospiti(fx, 2000);
    fx.add("Scheda_Prenotazione", {{"NumeroPrenotazione", std::int64_t{1}}});
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    Sincronizza(fx.dir(), schema.nome());
    const auto tabelle = Righe("SELECT tablename FROM pg_tables WHERE schemaname = '" +
                               schema.nome() + "' ORDER BY 1");
    const auto registro = Righe("SELECT * FROM " + s + "tableau_sincronizzazione");

    // The guests grow, a table of a new shape comes, and only the last table read, the
    // booking headers, holds a value its field cannot keep, past a quarter of a megabyte
    // of rows already sent.
    fx.hotel(2, "Dopo");
    Ospiti(fx, 40000, 2001);
    Esegui(fx.dir() / "NumeriCamere.mdb", "ALTER TABLE NumeriCamere ADD COLUMN Piano INTEGER");
    Esegui(fx.dir() / "Scheda_Prenotazione.mdb",
           "INSERT INTO Scheda_Prenotazione (NumeroPrenotazione) VALUES (2), (3.5)");
    for (const bool forzata : {false, true}) {
        const std::string m =
            Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), SyncOptions{{}, {}, forzata});
        EXPECT_NE(m.find("Archivio Scheda_Prenotazione.mdb, tabella Scheda_Prenotazione, campo "
                         "NumeroPrenotazione, riga 3: il valore \"3.5\" \xC3\xA8 un numero con "
                         "decimali, il campo vuole un numero intero"),
                  std::string::npos)
            << m;
        EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\""),
                  (std::vector<std::string>{"2000"}));
        EXPECT_EQ(Righe("SELECT \"RagioneSociale\" FROM " + s + "\"AnagraficaHotels\""),
                  (std::vector<std::string>{"Prima"}));
        EXPECT_EQ(Righe("SELECT count(*) FROM pg_attribute WHERE attrelid = '" + s +
                        "\"NumeriCamere\"'::regclass AND attname = 'Piano'"),
                  (std::vector<std::string>{"0"}));
        EXPECT_EQ(Righe("SELECT tablename FROM pg_tables WHERE schemaname = '" + schema.nome() +
                        "' ORDER BY 1"),
                  tabelle);
        EXPECT_EQ(Righe("SELECT * FROM " + s + "tableau_sincronizzazione"), registro);
    }

    // Mended, every row arrives once, each at its place in the file.
    Esegui(fx.dir() / "Scheda_Prenotazione.mdb",
           "UPDATE Scheda_Prenotazione SET NumeroPrenotazione = 3 WHERE NumeroPrenotazione > 2");
    const auto copiate = Sincronizza(fx.dir(), schema.nome());
    EXPECT_EQ(copiate.at(4).table, "Scheda_Cliente");
    EXPECT_EQ(copiate.at(4).rows, 42000);
    EXPECT_EQ(copiate.at(9).rows, 3);
    EXPECT_EQ(Righe("SELECT count(*), count(DISTINCT tableau_riga), min(tableau_riga),"
                    " max(tableau_riga), sum((\"NumeroProgressivo\" = tableau_riga + 1)::int)"
                    " FROM " +
                    s + "\"Scheda_Cliente\""),
              (std::vector<std::string>{"42000|42000|0|41999|42000"}));
}

TEST(ServerSync, TheSurveyCountsWithoutReadingAndTheCopyReadsRowByRow) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    Ospiti(fx, 10);
    // A field of no declared type takes its values' type, or names the first text among
    // numbers; a value too large for a real among reals is caught while copying.
    Esegui(fx.dir() / "TipiCamere.mdb", "ALTER TABLE TipiCamere ADD COLUMN Misto");
    Esegui(fx.dir() / "TipiCamere.mdb",
           "INSERT INTO TipiCamere (Misto) VALUES (1), (2.5), (NULL), ('tre'), ('quattro')");
    std::string m = Rifiuto<ErroreArchivio>(fx.dir(), SchemaDiProva(false).nome());
    EXPECT_NE(m.find("tabella TipiCamere, campo Misto, riga 4: il campo, di tipo non dichiarato, "
                     "mescola numeri e testi (qui il testo \"tre\")"),
              std::string::npos)
        << m;
    Esegui(fx.dir() / "TipiCamere.mdb",
           "DELETE FROM TipiCamere WHERE typeof(Misto) = 'text';"
           "INSERT INTO TipiCamere (Misto) VALUES (9007199254740993)");
    m = Rifiuto<ErroreArchivio>(fx.dir(), SchemaDiProva(false).nome());
    EXPECT_NE(m.find("campo Misto, riga 4: il valore \"9007199254740993\" \xC3\xA8 un numero "
                     "intero, il campo vuole un numero"),
              std::string::npos)
        << m;
    Esegui(fx.dir() / "TipiCamere.mdb", "DELETE FROM TipiCamere WHERE Misto > 1000");
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    EXPECT_EQ(Righe("SELECT \"Misto\", pg_typeof(\"Misto\") FROM " + schema.nome() +
                    ".\"TipiCamere\" ORDER BY tableau_riga"),
              (std::vector<std::string>{"1|double precision", "2.5|double precision",
                                        "<null>|double precision"}));
}

TEST(ServerSync, UnderAHistoryLimitTheGuardCountsOnTheServerTheStaysTheLimitKeeps) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    Ospiti(fx, 30, 1, "20240101");  // left out by ten months back from 20261208
    Ospiti(fx, 4, 31, "20260301");
    fx.add("Scheda_Cliente", {{"NumeroProgressivo", std::int64_t{35}}});  // no date: kept
    const auto prenotazione = [&](std::int64_t n, const std::string& partenza) {
        fx.add("Camere_Prenotazione", {{"NumeroPrenotazione", n}, {"DataPartenza", partenza}});
        fx.add("Scheda_Prenotazione", {{"NumeroPrenotazione", n}});
    };
    for (std::int64_t n = 1; n <= 20; ++n) {
        prenotazione(n, "20240101");
    }
    prenotazione(21, "20270101");
    SchemaDiProva schema;
    const std::string s = schema.nome() + ".";
    const SyncOptions storico{10, "20261208"};

    // A full copy, then a limited one: 5 guests and 1 booking against the 5 and 1 of the
    // same months on the server, not against the 35 and 21 it holds.
    Sincronizza(fx.dir(), schema.nome());
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), storico), "");
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\""),
              (std::vector<std::string>{"5"}));
    // Again, and a longer limit after it, and a full copy after that.
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), storico), "");
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), SyncOptions{36, "20261208"}), "");
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome(), storico), "");
    EXPECT_EQ(Rifiuto<ErroreArchivio>(fx.dir(), schema.nome()), "");

    // The recent stays lost: refused, the months counted named.
    Esegui(fx.dir() / "Scheda_Cliente.mdb",
           "DELETE FROM Scheda_Cliente WHERE NumeroProgressivo > 30");
    Esegui(fx.dir() / "Camere_Prenotazione.mdb",
           "DELETE FROM Camere_Prenotazione WHERE NumeroPrenotazione = 21");
    const std::string m = Rifiuto<ErroreRiduzione>(fx.dir(), schema.nome(), storico);
    EXPECT_NE(m.find("Scheda_Cliente: 0 righe nella cartella contro 5 sul server (soggiorni con "
                     "partenza dal 08/02/2026 in poi)"),
              std::string::npos)
        << m;
    EXPECT_NE(m.find("Camere_Prenotazione: 0 righe nella cartella contro 1 sul server"),
              std::string::npos)
        << m;
    EXPECT_NE(m.find("Scheda_Prenotazione: 0 righe nella cartella contro 1 sul server"),
              std::string::npos)
        << m;
    EXPECT_EQ(Righe("SELECT count(*) FROM " + s + "\"Scheda_Cliente\""),
              (std::vector<std::string>{"35"}));
}

}  // namespace
}  // namespace tableau::db::server
