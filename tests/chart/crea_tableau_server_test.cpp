// The chart made from the chain's server is the chart made from the files it was synced
// from, byte for byte: non-ASCII texts, rooms in byte order, nulls and empty texts, reals,
// Jet files; for any role that may read, through a failover, and while a sync runs.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "chart/crea_tableau.h"
#include "chart_fixture.h"
#include "db/data_source.h"
#include "db/server/server_schema.h"
#include "db/server/server_sync.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "support/workstation.h"

namespace tableau::chart {
namespace {

using test::ChartFixture;
using test::EseguiSulPrimario;
using test::SchemaDiProva;
using test::ServerPrimario;

const RichiestaTableau kTutte{1, 1, "", "\xFF", "16/03/2026"};

std::string Tableau(db::DataSource& origine, const RichiestaTableau& richiesta = kTutte) {
    CreaTableau(origine, test::PostazioneDi(origine.cartellaDati()), richiesta, test::kOrologio);
    return test::readFile(origine.cartellaDati() / "FD7");
}

std::string DaiFile(const std::filesystem::path& cartella,
                    const RichiestaTableau& richiesta = kTutte) {
    db::DataSource origine(cartella, std::nullopt);
    return Tableau(origine, richiesta);
}

std::string DalServer(const std::filesystem::path& cartella, const std::string& conninfo,
                      const std::string& schema, const RichiestaTableau& richiesta = kTutte) {
    db::DataSource origine(cartella, db::ServerSetting{conninfo, schema});
    return Tableau(origine, richiesta);
}

// Forced, a sync copies even tables that shrink to less than half their rows on the server.
void Sincronizza(const std::filesystem::path& cartella, const std::string& schema,
                 bool forzata = false) {
    db::server::ServerConnection c(ServerPrimario());
    db::server::SyncOptions opzioni;
    opzioni.force = forzata;
    db::server::SyncToServer(cartella, c, schema, opzioni);
}

// The week of the example with rooms whose byte order is not the Italian collation's, texts
// beyond ASCII, empty and null, a text room that reads as a number, a real bed count.
void SettimanaDifficile(ChartFixture& fx) {
    test::SettimanaDiEsempio(fx);
    {
        db::writer::SqliteWriter w(fx.dir() / "NumeriCamere.mdb");
        w.exec(
            "ALTER TABLE NumeriCamere RENAME TO Vecchia;"
            "CREATE TABLE NumeriCamere (NumeroHotel INTEGER, NumeroTableau INTEGER,"
            " NumeroCamera TEXT, TipoCamera TEXT, PostiLetto REAL);"
            "INSERT INTO NumeriCamere SELECT * FROM Vecchia; DROP TABLE Vecchia");
    }
    fx.camera("a10", 1, "DOP", 2);
    fx.camera("B2", 1, "SIN", 1);
    fx.camera("\xC3\xA4", 1, "TRI", 3);
    fx.camera("0101", 1, "", 2);
    fx.db().add("NumeriCamere", {{"NumeroHotel", std::int64_t{1}},
                                 {"NumeroTableau", std::int64_t{1}},
                                 {"NumeroCamera", std::string("Z\xE2\x82\xAC")},
                                 {"PostiLetto", 2.5}});
    fx.ospite({.camera = "a10",
               .arrivo = "20260315",
               .partenza = "20260317",
               .progressivo = 20,
               .nome = "Citt\xC3\xA0 d\xE2\x80\x99Oro \xE2\x82\xAC"});
    fx.ditta(20, "");
    fx.arrangiamento(20, "HB");
    fx.ospite({.camera = "\xC3\xA4",
               .arrivo = "20260318",
               .partenza = "20260325",
               .progressivo = 21,
               .nome = "",
               .partito = std::nullopt});
    fx.ospite({.camera = "\xC3\xA4",
               .arrivo = "20260318",
               .partenza = "20260325",
               .progressivo = 22,
               .componente = 2,
               .nome = "Seconda",
               .famiglia = 21});
    fx.prenotazione({.camera = "B2",
                     .arrivo = "20260319",
                     .partenza = "20260322",
                     .numero = 9,
                     .persone = 1,
                     .note = ""});
    fx.testata(9, "C", "M\xC3\xBCller", "");
    fx.prenotazione({.camera = "0101", .arrivo = "20260316", .partenza = "20260317", .numero = 10});
}

TEST(CreaTableauDalServer, TheSameChartAsFromTheFiles) {
    TABLEAU_RICHIEDE_SERVER();
    ChartFixture fx;
    SettimanaDifficile(fx);
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    const std::vector<RichiestaTableau> richieste = {
        kTutte,
        {1, 1, "B", "a2", "16/03/2026"},
        {1, 1, "", "\xFF", "18/03/2026"},
        {1, 1, "0", "9", "10/03/2026"},
    };
    for (const auto& richiesta : richieste) {
        const std::string daiFile = DaiFile(fx.dir(), richiesta);
        EXPECT_EQ(DalServer(fx.dir(), ServerPrimario(), schema.nome(), richiesta), daiFile)
            << richiesta.primaCamera << " " << richiesta.dataInizio;
    }
    // The rooms in byte order, as from the files.
    const std::string tableau = DaiFile(fx.dir());
    EXPECT_LT(tableau.find("\nB2 "), tableau.find("\na10 "));
    EXPECT_LT(tableau.find("\na10 "), tableau.find("\n\xE4 "));
    EXPECT_NE(tableau.find("Citt\xE0 d\x92Oro \x80"), std::string::npos);
}

TEST(CreaTableauDalServer, JetFilesGiveTheSameChartThroughTheServer) {
    TABLEAU_RICHIEDE_SERVER();
    ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.camera("\xC3\xA4", 1, "TRI", 3);
    fx.ospite({.camera = "\xC3\xA4",
               .arrivo = "20260318",
               .partenza = "20260325",
               .progressivo = 21,
               .nome = "Ren\xC3\xA9\xE2\x80\x99"});
    test::TempDir jet;
    for (const auto& t : db::server::ServerTables()) {
        db::writer::ConvertHotelFileToJet(fx.dir() / std::string(t.file),
                                          jet.path() / std::string(t.file));
    }
    SchemaDiProva schema;
    Sincronizza(jet.path(), schema.nome());
    const std::string daiFile = DaiFile(fx.dir());
    EXPECT_EQ(DaiFile(jet.path()), daiFile);
    EXPECT_EQ(DalServer(jet.path(), ServerPrimario(), schema.nome()), daiFile);
}

TEST(CreaTableauDalServer, AFixedNumberOfStatementsWhateverTheRooms) {
    TABLEAU_RICHIEDE_SERVER();
    const auto statements = [](int camere) {
        ChartFixture fx;
        test::SettimanaDiEsempio(fx);
        const std::string serie =
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
            " WHERE i < " +
            std::to_string(camere) + ") ";
        db::writer::SqliteWriter(fx.dir() / "NumeriCamere.mdb")
            .exec(serie +
                  "INSERT INTO NumeriCamere (NumeroHotel, NumeroTableau, NumeroCamera,"
                  " TipoCamera, PostiLetto) SELECT 1, 1, 200 + i, 'DOP', 2 FROM n");
        db::writer::SqliteWriter(fx.dir() / "Scheda_Cliente.mdb")
            .exec(serie +
                  "INSERT INTO Scheda_Cliente (NumeroHotel, NumeroCamera, DataArrivo, DataPartenza,"
                  " Partito, NumeroProgressivo, NumeroComponente, CodiceCapoFamiglia,"
                  " CodiceCapoGruppo, NomeCliente) SELECT 1, 200 + i, '20260315', '20260318',"
                  " 'N', 100 + i, 1, 0, 0, 'Ospite ' || i FROM n");
        db::writer::SqliteWriter(fx.dir() / "Arrangiamento.mdb")
            .exec(serie +
                  "INSERT INTO Arrangiamento (NumeroHotel, CodiceCliente, Arrangiamento)"
                  " SELECT 1, 100 + i, 'BB' FROM n");
        SchemaDiProva schema;
        Sincronizza(fx.dir(), schema.nome());
        db::DataSource origine(fx.dir(), db::ServerSetting{ServerPrimario(), schema.nome()});
        const std::string tableau = Tableau(origine);
        EXPECT_EQ(tableau, DaiFile(fx.dir()));
        EXPECT_NE(tableau.find("Ospite " + std::to_string(camere)), std::string::npos);
        return origine.statements();
    };
    const std::size_t otto = statements(4);
    EXPECT_EQ(otto, 11u) << "the lock, the fields and one select for each of the nine tables";
    EXPECT_EQ(statements(1000), otto);
}

TEST(CreaTableauDalServer, EveryRoleThatMayReadAndAFailoverMakeTheChart) {
    TABLEAU_RICHIEDE_SERVER();
    ChartFixture fx;
    SettimanaDifficile(fx);
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    const std::string daiFile = DaiFile(fx.dir());
    EseguiSulPrimario(
        "DROP ROLE IF EXISTS prova_lettura; CREATE ROLE prova_lettura LOGIN;"
        "GRANT USAGE ON SCHEMA " +
        schema.nome() + " TO prova_lettura; GRANT SELECT ON ALL TABLES IN SCHEMA " + schema.nome() +
        " TO prova_lettura;"
        "DROP ROLE IF EXISTS prova_portiere; CREATE ROLE prova_portiere LOGIN PASSWORD "
        "'Notte 1' IN ROLE tableau_login_password, prova_lettura");
    EXPECT_EQ(DalServer(fx.dir(), "host=127.0.0.1 port=55432 dbname=postgres user=prova_lettura",
                        schema.nome()),
              daiFile);
    EXPECT_EQ(DalServer(fx.dir(),
                        "host=127.0.0.1 port=55432 dbname=postgres user=prova_portiere "
                        "password='Notte 1'",
                        schema.nome()),
              daiFile);
    test::AttendiStandby();
    EXPECT_EQ(DalServer(fx.dir(),
                        "host=127.0.0.1,127.0.0.1 port=55439,55433 dbname=postgres user=postgres",
                        schema.nome()),
              daiFile);
    EseguiSulPrimario("DROP SCHEMA " + schema.nome() +
                      " CASCADE; DROP ROLE prova_portiere; DROP OWNED BY prova_lettura;"
                      " DROP ROLE prova_lettura");
}

// Charts read on the primary or the standby while syncs replace the rows (in place, or in new
// tables, one of them of another shape) are the old chart or the new, never a mix.
void LetturaDuranteLaSincronizzazione(const std::string& conninfo) {
    TABLEAU_RICHIEDE_SERVER();
    ChartFixture vecchio;
    test::SettimanaDiEsempio(vecchio);
    ChartFixture nuovo;
    SettimanaDifficile(nuovo);
    for (auto* fx : {&vecchio, &nuovo}) {
        db::writer::SqliteWriter w(fx->dir() / "Scheda_Cliente.mdb");
        w.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000)"
            " INSERT INTO Scheda_Cliente (NumeroHotel, NumeroCamera, DataArrivo, DataPartenza,"
            " NumeroProgressivo, NomeCliente) SELECT 2, 'x' || i, '20250101', '20250105', 1000 + i,"
            " 'Ospite di un altro albergo' FROM n");
    }
    const std::set<std::string> attesi = {DaiFile(vecchio.dir()), DaiFile(nuovo.dir())};
    ASSERT_EQ(attesi.size(), 2u);
    SchemaDiProva schema;
    Sincronizza(vecchio.dir(), schema.nome());
    // A view keeps the guests' table in place: its rows are replaced, the others' tables.
    EseguiSulPrimario("CREATE VIEW " + schema.nome() + ".ospiti AS SELECT * FROM " + schema.nome() +
                      ".\"Scheda_Cliente\"");
    test::AttendiStandby();

    std::atomic<bool> finito{false};
    std::string errore;
    std::thread sincronizzazioni([&] {
        try {
            // Two hotels by turns, each meant to replace the other's rows: the smaller one's
            // rooms and bookings are fewer than half the other's, so the syncs are forced.
            for (int i = 0; i < 4; ++i) {
                Sincronizza((i % 2 == 0 ? nuovo : vecchio).dir(), schema.nome(),
                            /*forzata=*/true);
            }
        } catch (const std::exception& e) {
            errore = e.what();
        }
        finito = true;
    });
    test::TempDir uscita;
    int letture = 0;
    std::set<std::string> visti;
    while (!finito) {
        const std::string tableau = DalServer(uscita.path(), conninfo, schema.nome());
        EXPECT_EQ(attesi.count(tableau), 1u) << tableau;
        visti.insert(tableau);
        ++letture;
    }
    sincronizzazioni.join();
    EXPECT_EQ(errore, "");
    EXPECT_GT(letture, 3);
    EXPECT_EQ(visti.size(), 2u) << "reads during the syncs saw one chart only";
    test::AttendiStandby();
    EXPECT_EQ(DalServer(uscita.path(), conninfo, schema.nome()), DaiFile(vecchio.dir()));
}

TEST(CreaTableauDalServer, ReadWhileASyncRunsOnThePrimary) {
    LetturaDuranteLaSincronizzazione(ServerPrimario());
}

TEST(CreaTableauDalServer, ReadWhileASyncRunsOnTheStandby) {
    LetturaDuranteLaSincronizzazione(test::ServerStandby());
}

}  // namespace
}  // namespace tableau::chart
