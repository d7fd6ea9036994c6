// tableau chart, check and print with the chain's server, against the real test servers:
// the same chart file as from the files, from the primary and from the standby; failures
// that name the server, never its password, and leave the previous chart whole; the
// check's report of the server, the schema and the role's rights.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "app/server_roles.h"
#include "chart/chart_fixture.h"
#include "routines/clock.h"
#include "routines/dates.h"
#include "support/command_runner.h"
#include "support/cups_support.h"
#include "support/data_directory.h"
#include "support/test_server.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

// The chart's text without the time it was made at (the title line's date and time).
std::string SenzaOra(const std::string& testo) {
    return std::regex_replace(testo, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d)"), "<ora>");
}

std::string Oggi() {
    const auto adesso = routines::OrologioDiSistema().adesso();
    char testo[16];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d", adesso.giorno, adesso.mese, adesso.anno);
    return testo;
}

// The example week synced into a schema of its own; the commands run in another directory,
// which holds none of the hotel files.
class DalServer : public ::testing::Test {
  protected:
    void SetUp() override {
        TABLEAU_RICHIEDE_SERVER();
        test::SettimanaDiEsempio(fx_);
        const auto esito = test::EseguiRiga({"sync", "-C", fx_.dir().string(), "--server",
                                             test::ServerPrimario(), "--schema", schema_.nome()});
        ASSERT_EQ(esito.stato, kEseguito) << esito.err;
        giornoSync_ = Oggi();  // taken at once: a run across midnight still compares right
    }

    test::EsitoComando chart(const fs::path& cartella, Argomenti generali) {
        Argomenti riga{"chart",     "-C",     cartella.string(), "--hotel", "1",
                       "--tableau", "1",      "--from",          "",        "--to",
                       "ZZZ",       "--date", "16/03/2026"};
        riga.insert(riga.end(), generali.begin(), generali.end());
        return test::EseguiRiga(riga);
    }
    Argomenti server(const std::string& conninfo) const {
        return {"--server", conninfo, "--schema", schema_.nome()};
    }

    test::ChartFixture fx_;  // PCLocal = 7: the chart file is FD7
    test::SchemaDiProva schema_{false};
    test::Altrove ufficio_;
    std::string giornoSync_;
};

TEST_F(DalServer, TheSameChartFileAsFromTheFiles) {
    const auto dalleCartella = chart(fx_.dir(), {});
    ASSERT_EQ(dalleCartella.stato, kEseguito) << dalleCartella.err;
    EXPECT_EQ(dalleCartella.out.find("Dati dal"), std::string::npos);
    const std::string atteso = SenzaOra(test::readFile(fx_.fileTableau()));

    const auto dalPrimario = chart(ufficio_.path(), server(test::ServerPrimario()));
    ASSERT_EQ(dalPrimario.stato, kEseguito) << dalPrimario.err;
    EXPECT_EQ(SenzaOra(test::readFile(ufficio_ / "FD7")), atteso);
    EXPECT_NE(dalPrimario.out.find("Dati dal server 127.0.0.1:55432/postgres, schema " +
                                   schema_.nome() + ", sincronizzati il " + giornoSync_),
              std::string::npos)
        << dalPrimario.out;
    // Only the chart file was written in the office's directory.
    EXPECT_EQ(std::distance(fs::directory_iterator(ufficio_.path()), fs::directory_iterator()), 1);

    test::AttendiStandby();
    fs::remove(ufficio_ / "FD7");
    const auto dalloStandby = chart(ufficio_.path(), server(test::ServerStandby()));
    ASSERT_EQ(dalloStandby.stato, kEseguito) << dalloStandby.err;
    EXPECT_EQ(SenzaOra(test::readFile(ufficio_ / "FD7")), atteso);
    EXPECT_NE(dalloStandby.out.find("127.0.0.1:55433/postgres"), std::string::npos);
}

TEST_F(DalServer, FailuresNameTheServerNotThePasswordAndLeaveThePreviousChart) {
    test::writeFile(ufficio_ / "FD7", "il tableau di ieri\r\n");
    const test::RuoloDiProva conPassword("Giusta123");
    test::EseguiSulPrimario("GRANT USAGE ON SCHEMA " + schema_.nome() + " TO " +
                            conPassword.nome() + "; GRANT SELECT ON ALL TABLES IN SCHEMA " +
                            schema_.nome() + " TO " + conPassword.nome());
    test::PortaDiProva nessuno(false);
    const std::string porta = std::to_string(nessuno.porta());
    const auto fallisce = [&](const Argomenti& generali, const std::string& server,
                              const std::string& cosa) {
        const auto esito = chart(ufficio_.path(), generali);
        EXPECT_EQ(esito.stato, kFallito) << esito.err;
        EXPECT_TRUE(esito.out.empty()) << esito.out;
        EXPECT_NE(esito.err.find(server), std::string::npos) << esito.err;
        EXPECT_NE(esito.err.find(cosa), std::string::npos) << esito.err;
        EXPECT_EQ(esito.err.find("Sbagliata456"), std::string::npos) << esito.err;
        EXPECT_EQ(test::readFile(ufficio_ / "FD7"), "il tableau di ieri\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(ufficio_.path()), fs::directory_iterator()),
                  1)
            << "a file left behind";
    };
    fallisce(server(conPassword.connessione() + " password=Sbagliata456"),
             "127.0.0.1:55432/postgres", "accesso rifiutato");
    fallisce(
        server("postgresql://" + conPassword.nome() + ":Sbagliata456@127.0.0.1:55432/postgres"),
        "127.0.0.1:55432/postgres", "accesso rifiutato");
    fallisce(server(nessuno.connessione("password=Sbagliata456")), "127.0.0.1:" + porta + "/catena",
             "connessione non riuscita");
    fallisce({"--server", test::ServerPrimario(), "--schema", "non_sincronizzato"},
             "127.0.0.1:55432/postgres", "non_sincronizzato");
    // The right password works (from a string here; at a site it is in ~/.pgpass).
    {
        const auto esito =
            chart(ufficio_.path(), server(conPassword.connessione() + " password=Giusta123"));
        EXPECT_EQ(esito.stato, kEseguito) << esito.err;
        test::writeFile(ufficio_ / "FD7", "il tableau di ieri\r\n");
    }
    test::EseguiSulPrimario("ALTER TABLE " + schema_.nome() +
                            ".\"Ditta_Intestataria\" DROP COLUMN \"RagioneSociale\"");
    fallisce(server(test::ServerPrimario()), "127.0.0.1:55432/postgres", "RagioneSociale");
    test::EseguiSulPrimario("DROP TABLE " + schema_.nome() + ".\"NumeriCamere\"");
    fallisce(server(test::ServerPrimario()), "127.0.0.1:55432/postgres", "NumeriCamere");
}

TEST_F(DalServer, CheckReportsTheServerTheSyncTheTablesAndTheRights) {
    auto esito = test::EseguiRiga({"check", "-C", fx_.dir().string(), "--server",
                                   test::ServerPrimario(), "--schema", schema_.nome()});
    ASSERT_EQ(esito.stato, kEseguito) << esito.out << esito.err;
    const auto contiene = [&](const std::string& testo) {
        EXPECT_NE(esito.out.find(testo), std::string::npos) << testo << "\n" << esito.out;
    };
    // A line of the report: the name, spaces to the column, the value.
    const auto riga = [&](const std::string& nome, const std::string& valore) {
        EXPECT_TRUE(std::regex_search(esito.out, std::regex("\n" + nome + " +" + valore + "\n")))
            << nome << " " << valore << "\n"
            << esito.out;
    };
    contiene("Server: 127.0.0.1:55432/postgres (da --server)\n");
    contiene("Schema: " + schema_.nome() + " (da --schema)\n");
    contiene("Server 127.0.0.1:55432/postgres: PostgreSQL 15");
    contiene(", primario, ruolo postgres\n");
    contiene("Ultima sincronizzazione: " + giornoSync_);
    contiene(", dalla cartella " + fx_.dir().string() + "\n");
    riga("Scheda_Cliente", "2 righe");
    riga("  NomeCliente", "presente");
    // The workstation's own files are still the directory's; the hotel files are not read.
    contiene("Archivi della postazione nella cartella " + fx_.dir().string());
    contiene("\nStampanti.mdb");
    EXPECT_EQ(esito.out.find("Scheda_Cliente.mdb"), std::string::npos) << esito.out;

    // The standby says what it is.
    test::AttendiStandby();
    esito = test::EseguiRiga({"check", "-C", fx_.dir().string(), "--server", test::ServerStandby(),
                              "--schema", schema_.nome()});
    EXPECT_EQ(esito.stato, kEseguito) << esito.out;
    contiene(", standby in sola lettura, ruolo postgres\n");

    // An office role that may read all but one table; a field gone.
    const test::RuoloDiProva ufficio;
    test::EseguiSulPrimario("GRANT USAGE ON SCHEMA " + schema_.nome() + " TO " + ufficio.nome() +
                            "; GRANT SELECT ON ALL TABLES IN SCHEMA " + schema_.nome() + " TO " +
                            ufficio.nome() + "; REVOKE SELECT ON " + schema_.nome() +
                            ".\"Tableau\" FROM " + ufficio.nome() + "; ALTER TABLE " +
                            schema_.nome() + ".\"TipiCamere\" DROP COLUMN \"Tipologia\"");
    esito = test::EseguiRiga({"check", "-C", fx_.dir().string(), "--server", ufficio.connessione(),
                              "--schema", schema_.nome()});
    EXPECT_EQ(esito.stato, kFallito);
    riga("Tableau", "NON LEGGIBILE dal ruolo " + ufficio.nome());
    riga("  Tipologia", "MANCANTE");
    const std::string dove = "Server 127.0.0.1:55432/postgres, schema " + schema_.nome() + ": ";
    contiene("  - " + dove + "il ruolo " + ufficio.nome() +
             " non pu\xC3\xB2 leggere la tabella Tableau\n");
    contiene("  - " + dove + "Campo \"Tipologia\" non trovato nella tabella TipiCamere\n");
    contiene("Controllo completato: 2 problemi trovati.\n");

    // A schema that is not there.
    esito = test::EseguiRiga({"check", "-C", fx_.dir().string(), "--server", test::ServerPrimario(),
                              "--schema", "mai_sincronizzato"});
    EXPECT_EQ(esito.stato, kFallito);
    contiene("Schema mai_sincronizzato: MANCANTE\n");
    contiene("lo schema non esiste");
}

TEST_F(DalServer, TheReadOnlyOfficeRoleOfTheManualReadsWhatTheSyncRoleWrites) {
    // The roles as the README sets them up: the sync role owns the schema, the office
    // reads the tables a later sync creates through the default privileges.
    const test::RuoloDiProva sincronizza;
    const test::RuoloDiProva ufficio;
    const test::SchemaDiProva sede(false);
    test::EseguiSulPrimario(
        "CREATE SCHEMA " + sede.nome() + " AUTHORIZATION " + sincronizza.nome() +
        "; GRANT USAGE ON SCHEMA " + sede.nome() + " TO " + ufficio.nome() +
        "; GRANT SELECT ON ALL TABLES IN SCHEMA " + sede.nome() + " TO " + ufficio.nome() +
        "; ALTER DEFAULT PRIVILEGES FOR ROLE " + sincronizza.nome() + " IN SCHEMA " + sede.nome() +
        " GRANT SELECT ON TABLES TO " + ufficio.nome());
    auto esito = test::EseguiRiga({"sync", "-C", fx_.dir().string(), "--server",
                                   sincronizza.connessione(), "--schema", sede.nome()});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    esito = test::EseguiRiga({"check", "-C", fx_.dir().string(), "--server", ufficio.connessione(),
                              "--schema", sede.nome()});
    EXPECT_EQ(esito.stato, kEseguito) << esito.out << esito.err;
    esito = chart(ufficio_.path(), {"--server", ufficio.connessione(), "--schema", sede.nome()});
    EXPECT_EQ(esito.stato, kEseguito) << esito.err;
    // The office may not write.
    esito = test::EseguiRiga({"sync", "-C", fx_.dir().string(), "--server", ufficio.connessione(),
                              "--schema", sede.nome()});
    EXPECT_EQ(esito.stato, kFallito);
}

TEST_F(DalServer, PrintTakesTheAssistanceCodeFromTheServer) {
    // A raw destination writing to a file; the code "K" keeps the line-drawing characters.
    fx_.db().add("Stampanti", {{"NumeroHotel", std::int64_t{1}},
                               {"Destinazione", std::string("Grezza")},
                               {"TipoStampa", std::int64_t{1}},
                               {"Linea", std::string("uscita.prn")}});
    fx_.db().add("SetStampa", {{"TipoStampa", std::int64_t{1}},
                               {"Compresso", std::string(45, '0')},
                               {"Grassetto", std::string(45, '0')}});
    fx_.db().add("Contatori", {{"NumeroHotel", std::int64_t{1}},
                               {"LungPagComp", std::int64_t{200}},
                               {"LungPagNoComp", std::int64_t{200}}});
    ASSERT_EQ(chart(fx_.dir(), {}).stato, kEseguito);
    const Argomenti stampa{"print", "-C", fx_.dir().string(), "--destination", "Grezza"};
    auto esito = test::EseguiRiga(stampa);
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(test::readFile(fx_.dir() / "uscita.prn").find('\xB3'), std::string::npos);

    test::EseguiSulPrimario("UPDATE " + schema_.nome() +
                            ".\"AnagraficaHotels\" SET \"CodiceAssistenza\" = 'K'");
    Argomenti dalServer = stampa;
    dalServer.insert(dalServer.end(),
                     {"--server", test::ServerPrimario(), "--schema", schema_.nome()});
    esito = test::EseguiRiga(dalServer);
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_NE(test::readFile(fx_.dir() / "uscita.prn").find('\xB3'), std::string::npos);
}

TEST_F(DalServer, DataOlderThanTheSettingAllowsAreSaidButTheChartIsWritten) {
    routines::Impostazioni impostazioni;
    impostazioni.server = routines::Impostazione{test::ServerPrimario(), "prova"};
    impostazioni.schema = routines::Impostazione{schema_.nome(), "prova"};
    const test::PostazioneDiProva postazione{ufficio_.path(), "7"};
    const Argomenti richiesta{"--hotel", "1", "--tableau", "1", "--date", "16/03/2026"};

    const auto oggi = test::EseguiComando(postazione, "chart", richiesta, impostazioni,
                                          routines::OrologioDiSistema());
    ASSERT_EQ(oggi.stato, kEseguito) << oggi.err;
    EXPECT_EQ(oggi.err.find("ATTENZIONE"), std::string::npos) << oggi.err;

    // Ten days on, the same copy is older than 36 hours.
    auto adesso = routines::OrologioDiSistema().adesso();
    const routines::Data dopo =
        routines::AggiungiGiorni(routines::Data{adesso.giorno, adesso.mese, adesso.anno}, 10);
    adesso.giorno = dopo.giorno;
    adesso.mese = dopo.mese;
    adesso.anno = dopo.anno;
    const auto vecchi = test::EseguiComando(postazione, "chart", richiesta, impostazioni,
                                            routines::OrologioFisso(adesso));
    ASSERT_EQ(vecchi.stato, kEseguito) << vecchi.err;
    EXPECT_NE(vecchi.err.find("tableau chart: ATTENZIONE: dati del " + giornoSync_),
              std::string::npos)
        << vecchi.err;
    EXPECT_NE(vecchi.err.find("server.max-age"), std::string::npos) << vecchi.err;
    EXPECT_NE(vecchi.out.find("sincronizzati il " + giornoSync_), std::string::npos) << vecchi.out;
    EXPECT_TRUE(fs::exists(ufficio_ / "FD7"));
}

// The whole hotel's workbook from the server is the one from the files: the same blocks,
// cells, departures (the stays ending in the week read from the server too) and figures.
TEST(AlbergoDalServer, TheWholeHotelsWorkbookAsFromTheFiles) {
    TABLEAU_RICHIEDE_SERVER();
    test::ChartFixture fx;
    test::AlbergoDiEsempio(fx);
    const test::SchemaDiProva schema{false};
    const test::Altrove ufficio;
    const auto sync = test::EseguiRiga({"sync", "-C", fx.dir().string(), "--server",
                                        test::ServerPrimario(), "--schema", schema.nome()});
    ASSERT_EQ(sync.stato, kEseguito) << sync.err;
    const Argomenti richiesta{"--hotel", "1", "--date", "16/03/2026"};
    const auto dump = [](const fs::path& file) {
        return test::Comando(std::string(TABLEAU_PYTHON) + " '" + TABLEAU_LETTORE_CARTELLA + "' '" +
                             file.string() + "'");
    };

    Argomenti dalleCartella{"xlsx", "-C", fx.dir().string()};
    dalleCartella.insert(dalleCartella.end(), richiesta.begin(), richiesta.end());
    ASSERT_EQ(test::EseguiRiga(dalleCartella).stato, kEseguito);
    Argomenti dalServer{
        "xlsx",     "-C",         ufficio.path().string(), "--server", test::ServerPrimario(),
        "--schema", schema.nome()};
    dalServer.insert(dalServer.end(), richiesta.begin(), richiesta.end());
    const auto esito = test::EseguiRiga(dalServer);
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_NE(esito.out.find("Dati dal server"), std::string::npos) << esito.out;

    const std::string atteso = dump(fx.dir() / "fd7.xlsx");
    EXPECT_NE(atteso.find("Totali!M23\tstr\t\"Tutto l'albergo\""), std::string::npos) << atteso;
    EXPECT_EQ(dump(ufficio / "fd7.xlsx"), atteso);
    EXPECT_FALSE(fs::exists(ufficio / "FD7")) << "the whole hotel writes no chart file";
}

}  // namespace
}  // namespace tableau::app
