// tableau sync against the real test servers: one line per table and a closing line, the
// primary written even when the standby is listed first, and each failure in one line with
// exit status 1 (2 for a wrong option), the server's data left as they were: among them a
// table without a field the chart reads, and one cut short unless --force is given.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/server_roles.h"
#include "chart/chart_fixture.h"
#include "db/server/server_connection.h"
#include "db/server/server_schema.h"
#include "db/sql_text.h"
#include "db/writer/sqlite_writer.h"
#include "support/command_runner.h"
#include "support/data_directory.h"
#include "support/log_socket.h"
#include "support/test_server.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Righe(const std::string& testo) {
    std::vector<std::string> righe;
    std::istringstream flusso(testo);
    for (std::string riga; std::getline(flusso, riga);) {
        righe.push_back(riga);
    }
    return righe;
}

// The rows of a table of the schema, as the superuser sees them.
long RigheSulServer(const std::string& schema, const std::string& tabella) {
    db::server::ServerConnection c(test::ServerPrimario());
    return std::stol(std::string(
        c.exec("SELECT count(*) FROM " + schema + "." + db::QuoteIdentifier(tabella)).text(0, 0)));
}

class ProvaComandoSync : public ::testing::Test {
  protected:
    void SetUp() override {
        TABLEAU_RICHIEDE_SERVER();
        test::SettimanaDiEsempio(fx_);
    }

    // A chart of the week, read from the schema.
    test::EsitoComando chart() {
        return test::EseguiRiga({"chart", "-C", fx_.dir().string(), "--hotel", "1", "--tableau",
                                 "1", "--from", "", "--to", "ZZZ", "--date", "16/03/2026",
                                 "--server", test::ServerPrimario(), "--schema", schema_.nome()});
    }

    // A refusal: exit status 1, one line, nothing on stdout, and the log's line.
    std::string rifiutata(const test::EsitoComando& esito, test::PresaRegistro& registro) {
        EXPECT_EQ(esito.stato, kFallito) << esito.err;
        EXPECT_TRUE(esito.out.empty()) << esito.out;
        EXPECT_TRUE(esito.err.starts_with("tableau sync: ")) << esito.err;
        EXPECT_EQ(Righe(esito.err).size(), 1U) << esito.err;
        const std::string riga = registro.ricevi();
        EXPECT_NE(riga.find("non riuscita: " + esito.err.substr(14, 40)), std::string::npos)
            << riga;
        return esito.err;
    }

    void esegui(const std::string& archivio, const std::string& sql) {
        db::writer::SqliteWriter(fx_.dir() / archivio).exec(sql);
    }

    test::EsitoComando sync(const std::string& server, Argomenti altri = {}) {
        Argomenti riga{"sync", "-C",       fx_.dir().string(), "--server",
                       server, "--schema", schema_.nome()};
        riga.insert(riga.end(), altri.begin(), altri.end());
        return test::EseguiRiga(riga);
    }

    test::ChartFixture fx_;
    test::SchemaDiProva schema_{false};
    test::Altrove altrove_;
};

TEST_F(ProvaComandoSync, OneLinePerTableThenTheClosingLine) {
    test::PresaRegistro registro(altrove_ / "log");
    const auto esito = sync(test::ServerPrimario());
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_TRUE(esito.err.empty()) << esito.err;
    const auto righe = Righe(esito.out);
    ASSERT_EQ(righe.size(), db::server::ServerTables().size() + 1) << esito.out;
    for (std::size_t i = 0; i < db::server::ServerTables().size(); ++i) {
        const std::string tabella(db::server::ServerTables()[i].table);
        const long n = RigheSulServer(schema_.nome(), tabella);
        EXPECT_EQ(righe[i], tabella + ": " + std::to_string(n) +
                                (n == 1 ? " riga copiata." : " righe copiate."));
    }
    EXPECT_EQ(righe[0], "AnagraficaHotels: 1 riga copiata.");
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 2);
    EXPECT_TRUE(righe.back().starts_with("Sincronizzazione completata: 10 tabelle, "))
        << righe.back();
    EXPECT_TRUE(righe.back().ends_with(" dalla cartella " + fx_.dir().string() + " nello schema " +
                                       schema_.nome() + " del server 127.0.0.1:55432/postgres."))
        << righe.back();
    EXPECT_NE(registro.ricevi().find("sincronizzazione completata: 10 tabelle"), std::string::npos);

    // A schema named in capitals is the same schema, as PostgreSQL folds it.
    std::string maiuscolo = schema_.nome();
    for (char& c : maiuscolo) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const auto ancora = test::EseguiRiga({"sync", "-C", fx_.dir().string(), "--server",
                                          test::ServerPrimario(), "--schema", maiuscolo});
    ASSERT_EQ(ancora.stato, kEseguito) << ancora.err;
    EXPECT_NE(ancora.out.find("nello schema " + schema_.nome() + " del server"), std::string::npos);
}

TEST_F(ProvaComandoSync, AStandbyListedFirstIsPassedOverForThePrimary) {
    // Whatever the string asks, a sync connects to the server that takes writes.
    for (const std::string& server : {
             std::string("host=127.0.0.1,127.0.0.1 port=55433,55432 user=postgres "
                         "dbname=postgres connect_timeout=5"),
             std::string("host=127.0.0.1,127.0.0.1 port=55433,55432 user=postgres "
                         "dbname=postgres target_session_attrs=any"),
             std::string("postgresql://postgres@127.0.0.1:55433,127.0.0.1:55432/"
                         "postgres?target_session_attrs=read-only"),
         }) {
        const auto esito = sync(server);
        EXPECT_EQ(esito.stato, kEseguito) << server << ": " << esito.err;
        EXPECT_NE(esito.out.find("del server 127.0.0.1:55432/postgres."), std::string::npos)
            << esito.out;
    }
    EXPECT_EQ(ConnessionePerScrivere("postgresql://h/db"),
              "postgresql://h/db?target_session_attrs=read-write");
}

TEST_F(ProvaComandoSync, EachFailureInOneLineAndTheServerKeepsItsData) {
    ASSERT_EQ(sync(test::ServerPrimario()).stato, kEseguito);
    const long ospiti = RigheSulServer(schema_.nome(), "Scheda_Cliente");
    const auto unaRiga = [](const test::EsitoComando& esito) {
        EXPECT_EQ(esito.stato, kFallito) << esito.err;
        EXPECT_TRUE(esito.out.empty()) << esito.out;
        EXPECT_TRUE(esito.err.starts_with("tableau sync: ")) << esito.err;
        EXPECT_EQ(Righe(esito.err).size(), 1U) << esito.err;
        return esito.err;
    };

    test::PortaDiProva nessuno(false);
    std::string err = unaRiga(sync(nessuno.connessione()));
    EXPECT_NE(err.find("127.0.0.1:" + std::to_string(nessuno.porta()) + "/catena"),
              std::string::npos)
        << err;

    err = unaRiga(sync("host='senza fine"));
    EXPECT_NE(err.find("Indirizzo del server PostgreSQL non valido"), std::string::npos) << err;

    const test::RuoloDiProva conPassword("Giusta123");
    err = unaRiga(sync(conPassword.connessione() + " password=Sbagliata456"));
    EXPECT_NE(err.find("127.0.0.1:55432/postgres: accesso rifiutato"), std::string::npos) << err;
    EXPECT_EQ(err.find("Sbagliata456"), std::string::npos) << err;

    // A role that may read but not write: the schema's tables stay as they were.
    const test::RuoloDiProva lettore;
    test::EseguiSulPrimario("GRANT USAGE ON SCHEMA " + schema_.nome() + " TO " + lettore.nome() +
                            "; GRANT SELECT ON ALL TABLES IN SCHEMA " + schema_.nome() + " TO " +
                            lettore.nome());
    err = unaRiga(sync(lettore.connessione()));
    EXPECT_NE(err.find("127.0.0.1:55432/postgres"), std::string::npos) << err;

    fx_.ospite({.camera = "104", .arrivo = "20260316", .partenza = "20260318", .nome = "Nuovo"});
    fs::remove(fx_.dir() / "Tableau.mdb");
    err = unaRiga(sync(test::ServerPrimario()));
    EXPECT_NE(err.find("Tableau.mdb"), std::string::npos) << err;
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), ospiti);
}

TEST_F(ProvaComandoSync, ATableWithoutAFieldTheChartReadsIsRefusedAndChartsStillWork) {
    ASSERT_EQ(sync(test::ServerPrimario()).stato, kEseguito);
    ASSERT_EQ(chart().stato, kEseguito);
    fx_.ospite({.camera = "104", .arrivo = "20260316", .partenza = "20260318", .nome = "Nuovo"});
    esegui("Ditta_Intestataria.mdb", "ALTER TABLE Ditta_Intestataria DROP COLUMN RagioneSociale");

    test::PresaRegistro registro(altrove_ / "log");
    for (const Argomenti& altri : {Argomenti{}, Argomenti{"--force"}}) {
        const std::string err = rifiutata(sync(test::ServerPrimario(), altri), registro);
        EXPECT_NE(err.find("Ditta_Intestataria.mdb: Campo \"RagioneSociale\" non trovato nella "
                           "tabella Ditta_Intestataria"),
                  std::string::npos)
            << err;
        EXPECT_EQ(err.find("--force"), std::string::npos) << err;
    }
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 2);
    const auto dopo = chart();
    EXPECT_EQ(dopo.stato, kEseguito) << dopo.err;
}

TEST_F(ProvaComandoSync, AnEmptiedOrHalvedTableIsRefusedThenCopiedWithForce) {
    for (const std::int64_t progressivo : {10, 11, 12}) {
        fx_.db().add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}},
                                        {"NumeroProgressivo", progressivo},
                                        {"DataPartenza", std::string("20260320")}});
    }
    ASSERT_EQ(sync(test::ServerPrimario()).stato, kEseguito);
    ASSERT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 5);
    // The same data again: no guard in the way.
    const auto ancora = sync(test::ServerPrimario());
    EXPECT_EQ(ancora.stato, kEseguito) << ancora.err;

    test::PresaRegistro registro(altrove_ / "log");
    esegui("Scheda_Cliente.mdb", "DELETE FROM Scheda_Cliente WHERE NumeroProgressivo <> 1");
    std::string err = rifiutata(sync(test::ServerPrimario()), registro);
    EXPECT_NE(err.find("tableau sync: Scheda_Cliente: 1 riga nella cartella contro 5 sul server"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("ripetere con --force"), std::string::npos) << err;
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 5);

    esegui("Scheda_Cliente.mdb", "DELETE FROM Scheda_Cliente");
    // A history limit reaching back past every stay: all five on the server are counted.
    err = rifiutata(sync(test::ServerPrimario(), {"--storico", "600"}), registro);
    EXPECT_NE(err.find("Scheda_Cliente: 0 righe nella cartella contro 5 sul server"),
              std::string::npos)
        << err;
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 5);

    const auto forzata = sync(test::ServerPrimario(), {"--force"});
    ASSERT_EQ(forzata.stato, kEseguito) << forzata.err;
    EXPECT_NE(forzata.out.find("Scheda_Cliente: 0 righe copiate.\n"), std::string::npos)
        << forzata.out;
    EXPECT_EQ(RigheSulServer(schema_.nome(), "Scheda_Cliente"), 0);
    EXPECT_NE(registro.ricevi().find("sincronizzazione completata"), std::string::npos);
}

TEST_F(ProvaComandoSync, WrongOptionsAreRefusedWithTwo) {
    test::PortaDiProva muta(true);
    for (const Argomenti& altri :
         {Argomenti{"--storico", "0"}, Argomenti{"--storico", "sei"}, Argomenti{"--storico=-3"},
          Argomenti{"--storico", "1.5"}, Argomenti{"--storico"}, Argomenti{"--mesi", "6"},
          Argomenti{"--storico", "6", "--storico", "7"}, Argomenti{"--force", "--force"},
          Argomenti{"--force=si"}, Argomenti{"--forza"}, Argomenti{"--history", "0"},
          Argomenti{"--history", "6", "--storico", "7"}}) {
        const auto esito = sync(muta.connessione(), altri);
        EXPECT_EQ(esito.stato, kRifiutato) << altri.front() << ": " << esito.err;
        EXPECT_TRUE(esito.err.starts_with("tableau sync: ")) << esito.err;
    }
    const auto senzaServer = test::EseguiRiga({"sync", "-C", fx_.dir().string()});
    EXPECT_EQ(senzaServer.stato, kRifiutato);
    EXPECT_NE(senzaServer.err.find("manca il server"), std::string::npos) << senzaServer.err;
    EXPECT_EQ(muta.connessioni(), 0);

    // A history of months is taken, and --force with it.
    const auto storico = sync(test::ServerPrimario(), {"--storico=24"});
    EXPECT_EQ(storico.stato, kEseguito) << storico.err;
    const auto forzata = sync(test::ServerPrimario(), {"--force", "--storico", "24"});
    EXPECT_EQ(forzata.stato, kEseguito) << forzata.err;
    // --history is its English name.
    const auto inglese = sync(test::ServerPrimario(), {"--history=24"});
    EXPECT_EQ(inglese.stato, kEseguito) << inglese.err;
}

}  // namespace
}  // namespace tableau::app
