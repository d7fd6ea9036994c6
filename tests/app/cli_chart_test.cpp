// tableau chart and tableau check, run in-process in a data directory.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/cli_commands.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"
#include "routines/clock.h"
#include "support/command_runner.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

// A data directory with one hotel, one block and two rooms; the commands run there for
// workstation 4.
class ProvaComandoChart : public ::testing::Test {
  protected:
    ProvaComandoChart() {
        fx_.hotel(1, "Hotel Caff\xC3\xA8");
        fx_.tableau(1, 1, "Piano terra");
        fx_.camera(1, 1, "101", "DOP", 2);
        fx_.camera(1, 1,
                   "\xC3\xA8"
                   "01",
                   "SIN", 1);
    }

    test::EsitoComando chart(const Argomenti& argomenti) {
        return test::EseguiComando(postazione_, "chart", argomenti);
    }

    test::EsitoComando check(const Argomenti& argomenti = {}) {
        return test::EseguiComando(postazione_, "check", argomenti);
    }

    static Argomenti richiesta(const std::string& da, const std::string& a,
                               const std::string& data) {
        return {"--hotel", "1", "--tableau", "1", "--from", da, "--to", a, "--date", data};
    }

    fs::path chartFile() const { return fx_.dir() / "FD4"; }

    test::HotelFixture fx_;
    test::PostazioneDiProva postazione_{fx_.dir(), "4"};
};

TEST_F(ProvaComandoChart, WritesTheChartFile) {
    const auto esito = chart(richiesta("",
                                       "\xC3\xA8"
                                       "99",
                                       "16/03/2026"));
    EXPECT_EQ(esito.stato, 0) << esito.err;
    EXPECT_NE(esito.out.find("FD4"), std::string::npos);
    const std::string testo = test::readFile(chartFile());
    EXPECT_EQ(testo.size(), (9u + 5u * 2u) * 134u);
    EXPECT_EQ(testo.substr(0, 22), " Hotel : Hotel Caff\xE8  ") << "Windows-1252 in the file";
    EXPECT_NE(testo.find("\r\n\xE8"
                         "01  \xB3"),
              std::string::npos)
        << "the room typed in UTF-8 matched the room stored";

    // Options also as --name=value, in any order.
    EXPECT_EQ(
        chart({"--date=17/03/2026", "--to", "Z", "--from", "1", "--tableau", "1", "--hotel=1"})
            .stato,
        0);
    EXPECT_EQ(test::readFile(chartFile()).size(), (9u + 5u) * 134u);
}

TEST_F(ProvaComandoChart, RequestRefusals) {
    // The room range first, compared as text: "10" lies before "9".
    auto esito = chart(richiesta("9", "10", "31/02/2026"));
    EXPECT_EQ(esito.stato, 2);
    EXPECT_NE(esito.err.find("Controllare l'intervallo di camere richiesto!"), std::string::npos);
    EXPECT_EQ(esito.err.find("formato"), std::string::npos);

    esito = chart(richiesta("101", "99", "31/02/2026"));
    EXPECT_EQ(esito.stato, 2);
    EXPECT_NE(esito.err.find("La data deve essere inserita"), std::string::npos) << esito.err;
    EXPECT_NE(esito.err.find("nel formato gg/mm/aaaa"), std::string::npos);
    EXPECT_EQ(esito.err.find('\r'), std::string::npos);

    for (const char* data : {"160326", "", "16/3/2026"}) {
        EXPECT_EQ(chart(richiesta("", "", data)).stato, 2) << data;
    }
    EXPECT_FALSE(fs::exists(chartFile()));

    // Equal and empty room texts pass the window's checks; separators of the date are not
    // checked.
    EXPECT_EQ(chart(richiesta("101", "101", "16-03-2026")).stato, 0);
    EXPECT_EQ(chart(richiesta("", "Z", "16.03.2026")).stato, 0);
}

TEST_F(ProvaComandoChart, UnknownHotelOrBlockAndARangeWithoutRoomsAreRefused) {
    ASSERT_EQ(chart(richiesta("101", "101", "16/03/2026")).stato, 0);
    const std::string prima = test::readFile(chartFile());

    auto esito = chart({"--hotel", "9", "--tableau", "1", "--date", "16/03/2026"});
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("l'albergo 9 non esiste. Alberghi: 1 Hotel Caff\xC3\xA8."),
              std::string::npos)
        << esito.err;
    esito = chart({"--hotel", "1", "--tableau", "9", "--date", "16/03/2026"});
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("il tableau 9 dell'albergo 1 non esiste. Tableau dell'albergo: 1 "
                             "Piano terra."),
              std::string::npos)
        << esito.err;
    // Room numbers compare as text: "2" to "9999" holds neither "101" nor "è01".
    esito = chart(richiesta("2", "9999", "16/03/2026"));
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("le camere vanno da 101 a \xC3\xA8"
                             "01."),
              std::string::npos)
        << esito.err;
    EXPECT_EQ(test::readFile(chartFile()), prima) << "the chart file stays as it was";

    // Without --from and --to: every room of the block.
    esito = chart({"--hotel", "1", "--tableau", "1", "--date", "16/03/2026"});
    EXPECT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(test::readFile(chartFile()).size(), (9u + 5u * 2u) * 134u);
}

TEST_F(ProvaComandoChart, BadArgumentsGiveUsage) {
    const Argomenti casi[] = {
        {},
        {"--hotel", "1", "--tableau", "1", "--from", "1", "--to", "2"},
        {"--hotel", "1", "--tableau", "1", "--from", "1", "--to", "2", "--date"},
        {"--hotel", "x", "--tableau", "1", "--from", "1", "--to", "2", "--date", "16/03/2026"},
        {"--hotel", "40000", "--tableau", "1", "--from", "1", "--to", "2", "--date", "16/03/2026"},
        {"--hotel", "1", "--tableau", "1", "--from", "1", "--to", "2", "--date", "16/03/2026",
         "--hotel", "2"},
        {"--hotel", "1", "--tableau", "1", "--from", "1", "--to", "2", "--date", "16/03/2026",
         "--colore", "rosso"},
    };
    for (const auto& argomenti : casi) {
        const auto esito = chart(argomenti);
        EXPECT_EQ(esito.stato, 2) << ::testing::PrintToString(argomenti);
        EXPECT_NE(esito.err.find("Uso: tableau chart"), std::string::npos) << esito.err;
    }
    EXPECT_FALSE(fs::exists(chartFile()));
}

TEST_F(ProvaComandoChart, DatabaseFailureKeepsThePreviousChart) {
    ASSERT_EQ(chart(richiesta("", "Z", "16/03/2026")).stato, 0);
    const std::string precedente = test::readFile(chartFile());
    db::writer::SqliteWriter(fx_.dir() / "Ditta_Intestataria.mdb")
        .exec("DROP TABLE Ditta_Intestataria");

    const auto esito = chart(richiesta("", "Z", "17/03/2026"));
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.err.find("Ditta_Intestataria"), std::string::npos) << esito.err;
    EXPECT_EQ(test::readFile(chartFile()), precedente);

    // tableau check names the missing table.
    const auto controllo = check();
    EXPECT_EQ(controllo.stato, 1);
    EXPECT_NE(controllo.out.find("Ditta_Intestataria"), std::string::npos) << controllo.out;
    EXPECT_NE(controllo.out.find("1 problema trovato"), std::string::npos) << controllo.out;
}

TEST_F(ProvaComandoChart, OverflowIsReportedAsAFailure) {
    fx_.add("Camere_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                    {"NumeroPrenotazione", std::int64_t{1}},
                                    {"NumeroCamera", std::string("101")},
                                    {"DataArrivo", std::string("20260316")},
                                    {"DataPartenza", std::string("20260317")},
                                    {"TipoPrenotazione", std::string("C")},
                                    {"NumeroPersone", std::int64_t{40000}}});
    const auto esito = chart(richiesta("", "Z", "16/03/2026"));
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.err.find("32767"), std::string::npos) << esito.err;
    EXPECT_FALSE(fs::exists(chartFile()));
}

// The same directory with guests and bookings of the week, so that the chart reads rows
// from every file; some hotel files may then be rewritten as Jet files.
class ComandoChartJet : public ProvaComandoChart {
  protected:
    ComandoChartJet() {
        ospite(1, "101", "Bianchi Caff\xC3\xA8", 0);
        ospite(2, "101", "Bianchi Anna", 1);
        fx_.add("Camere_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                        {"NumeroPrenotazione", std::int64_t{5}},
                                        {"NumeroCamera", std::string("\xC3\xA8"
                                                                     "01")},
                                        {"DataArrivo", std::string("20260318")},
                                        {"DataPartenza", std::string("20260321")},
                                        {"TipoPrenotazione", std::string("C")},
                                        {"NumeroPersone", std::int64_t{1}}});
        fx_.add("Scheda_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                        {"NumeroPrenotazione", std::int64_t{5}},
                                        {"TipoPrenotazione", std::string("C")},
                                        {"NomeCliente", std::string("Verdi")},
                                        {"Ditta", std::string("")}});
    }  // namespace

    void ospite(std::int64_t progressivo, const std::string& camera, const std::string& nome,
                std::int64_t famiglia) {
        fx_.add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}},
                                   {"NumeroCamera", camera},
                                   {"DataArrivo", std::string("20260315")},
                                   {"DataPartenza", std::string("20260318")},
                                   {"Partito", std::string("")},
                                   {"NumeroProgressivo", progressivo},
                                   {"NumeroComponente", progressivo},
                                   {"CodiceCapoFamiglia", famiglia},
                                   {"CodiceCapoGruppo", std::int64_t{0}},
                                   {"NomeCliente", nome}});
    }

    // Rewrites a hotel file of the directory as Jet 4, under the same name.
    static void InJet(const fs::path& cartella, const std::string& file) {
        const fs::path jet = cartella / "convertito.jet";
        db::writer::ConvertHotelFileToJet(cartella / file, jet);
        fs::rename(jet, cartella / file);
    }

    // The first chart, then the guest file replaced by the given bytes: the run fails
    // naming the file and the first chart stays as it was.
    void FallisceConservando(const std::string& sostituto, const std::string& atteso) {
        const fs::path ospiti = fx_.dir() / "Scheda_Cliente.mdb";
        const std::string originale = test::readFile(ospiti);
        ASSERT_EQ(chart(richiesta("", "Z", "16/03/2026")).stato, 0);
        const std::string precedente = test::readFile(chartFile());
        ASSERT_NE(precedente.find("Bianchi"), std::string::npos);
        test::writeFile(ospiti, sostituto);

        const auto esito = chart(richiesta("", "Z", "17/03/2026"));
        EXPECT_EQ(esito.stato, 1);
        EXPECT_EQ(esito.out, "");
        EXPECT_TRUE(esito.err.starts_with("tableau chart: ")) << esito.err;
        EXPECT_NE(esito.err.find("Scheda_Cliente.mdb"), std::string::npos) << esito.err;
        EXPECT_NE(esito.err.find(atteso), std::string::npos) << esito.err;
        EXPECT_EQ(test::readFile(chartFile()), precedente);
        for (const auto& voce : fs::directory_iterator(fx_.dir())) {
            const std::string nome = voce.path().filename().string();
            EXPECT_TRUE(nome == "FD4" || nome.ends_with(".mdb")) << "left behind: " << nome;
        }
        test::writeFile(ospiti, originale);
    }
};  // namespace tableau::app

TEST_F(ComandoChartJet, DamagedJetFileFailsAndKeepsThePreviousChart) {
    const fs::path jet = fx_.dir() / "ospiti.jet";
    db::writer::ConvertHotelFileToJet(fx_.dir() / "Scheda_Cliente.mdb", jet);
    const std::string buono = test::readFile(jet);
    fs::remove(jet);
    ASSERT_GT(buono.size(), 3000u);
    FallisceConservando(buono.substr(0, 3000), "danneggiato o illeggibile");

    // Every page after the header overwritten, the catalog's among them.
    std::string guasto = buono;
    for (std::size_t i = 4096; i < guasto.size(); ++i) {
        guasto[i] = static_cast<char>(0x5A ^ (i * 7));
    }
    test::ScopedEnv attesa("TABLEAU_ATTESA_JET", "2");
    FallisceConservando(guasto, "Scheda_Cliente");
}

TEST_F(ComandoChartJet, HungJetReaderIsStoppedAndThePreviousChartKept) {
    std::string bloccante = test::readFile(test::testData("jet/testodbc.mdb"));
    ASSERT_GT(bloccante.size(), 42767u);
    bloccante[42767] = '\x69';  // libmdb loops reading the catalog
    test::ScopedEnv attesa("TABLEAU_ATTESA_JET", "1");
    const auto inizio = std::chrono::steady_clock::now();
    FallisceConservando(bloccante, "interrotta");
    EXPECT_LT(std::chrono::steady_clock::now() - inizio, std::chrono::seconds(8));
}

TEST_F(ComandoChartJet, MixedJetAndSqliteDirectoryGivesTheSameChart) {
    // A copy of the directory with the guests, bookings, rooms and hotels as Jet 4 files.
    test::TempDir misto;
    for (const auto& voce : fs::directory_iterator(fx_.dir())) {
        fs::copy_file(voce.path(), misto.path() / voce.path().filename());
    }
    for (const char* file : {"Scheda_Cliente.mdb", "Camere_Prenotazione.mdb", "NumeriCamere.mdb",
                             "AnagraficaHotels.mdb"}) {
        InJet(misto.path(), file);
    }
    const Argomenti tutte = richiesta("",
                                      "\xC3\xA8"
                                      "99",
                                      "16/03/2026");
    std::string soloSqlite;
    std::string conJet;
    // The title line holds the minute of the run: both runs in one minute, or again.
    const routines::OrologioDiSistema orologio;
    for (int prova = 0; prova < 3; ++prova) {
        const routines::DataOra prima = orologio.adesso();
        const auto sqlite = chart(tutte);
        ASSERT_EQ(sqlite.stato, 0) << sqlite.err;
        soloSqlite = test::readFile(chartFile());
        const auto jet = test::EseguiComando({misto.path(), "4"}, "chart", tutte);
        ASSERT_EQ(jet.stato, 0) << jet.err;
        conJet = test::readFile(misto.path() / "FD4");
        const routines::DataOra dopo = orologio.adesso();
        if (prima.minuti == dopo.minuti && prima.ore == dopo.ore) {
            break;
        }
    }
    EXPECT_NE(soloSqlite.find("Bianchi Caff\xE8"), std::string::npos);
    EXPECT_NE(soloSqlite.find("\xB3Verdi "), std::string::npos);
    EXPECT_EQ(conJet, soloSqlite);
}

// The line of the report that starts with the given text (indent included), or "".
std::string RigaCheInizia(const std::string& testo, const std::string& inizio) {
    std::istringstream righe(testo);
    for (std::string riga; std::getline(righe, riga);) {
        if (riga.starts_with(inizio)) {
            return riga;
        }
    }
    return "";
}

TEST_F(ProvaComandoChart, CheckOfACompleteDirectory) {
    db::writer::SqliteWriter(fx_.dir() / "TipiCamere.mdb")
        .exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234) "
            "INSERT INTO TipiCamere (Sigla) SELECT i FROM n");
    const auto esito = check();
    EXPECT_EQ(esito.stato, 0) << esito.out;
    EXPECT_EQ(esito.err, "");
    // The settings in force first, then the files.
    EXPECT_TRUE(esito.out.starts_with("Cartella dei dati: ")) << esito.out;
    EXPECT_NE(esito.out.find("\n\nArchivi della cartella "), std::string::npos) << esito.out;
    // File, table and field lines, with one column for the values.
    const std::string file = RigaCheInizia(esito.out, "NumeriCamere.mdb ");
    const std::string tabella = RigaCheInizia(esito.out, "  NumeriCamere ");
    const std::string campo = RigaCheInizia(esito.out, "    TipoCamera ");
    EXPECT_TRUE(file.ends_with(" formato SQLite")) << esito.out;
    EXPECT_TRUE(tabella.ends_with(" 2 righe")) << esito.out;
    EXPECT_TRUE(campo.ends_with(" presente")) << esito.out;
    EXPECT_EQ(file.find("formato"), campo.find("presente")) << esito.out;
    EXPECT_TRUE(RigaCheInizia(esito.out, "  AnagraficaHotels ").ends_with(" 1 riga"));
    EXPECT_TRUE(RigaCheInizia(esito.out, "  TipiCamere ").ends_with(" 1.234 righe"));
    EXPECT_TRUE(RigaCheInizia(esito.out, "  SetStampa ").ends_with(" 0 righe"));
    EXPECT_EQ(esito.out.find("MANCANTE"), std::string::npos);
    EXPECT_TRUE(esito.out.ends_with(
        "\nControllo completato: tutti gli archivi, le tabelle e i campi sono presenti.\n"))
        << esito.out;
    EXPECT_EQ(check({"--extra"}).stato, 2);
}

TEST_F(ProvaComandoChart, CheckListsWhatIsMissing) {
    {
        db::writer::SqliteWriter camere(fx_.dir() / "NumeriCamere.mdb");
        camere.exec("DROP TABLE NumeriCamere");
        camere.exec(
            "CREATE TABLE NumeriCamere (NumeroHotel INTEGER, NumeroTableau INTEGER, "
            "NumeroCamera TEXT, PostiLetto INTEGER)");
    }
    fs::remove(fx_.dir() / "Arrangiamento.mdb");
    const std::string jet = test::readFile(test::testData("jet/nwind.mdb"));
    test::writeFile(fx_.dir() / "Contatori.mdb", jet);
    test::writeFile(fx_.dir() / "Tableau.mdb", jet.substr(0, 3000));

    const auto esito = check();
    EXPECT_EQ(esito.stato, 1) << esito.out;
    EXPECT_TRUE(RigaCheInizia(esito.out, "    TipoCamera ").ends_with(" MANCANTE")) << esito.out;
    EXPECT_TRUE(RigaCheInizia(esito.out, "    PostiLetto ").ends_with(" presente")) << esito.out;
    EXPECT_NE(RigaCheInizia(esito.out, "Arrangiamento.mdb ")
                  .find("ERRORE: Archivio Arrangiamento.mdb non trovato"),
              std::string::npos)
        << esito.out;
    EXPECT_TRUE(RigaCheInizia(esito.out, "Contatori.mdb ").ends_with(" formato Jet 3"))
        << esito.out;
    EXPECT_NE(RigaCheInizia(esito.out, "  Contatori ").find("ERRORE: "), std::string::npos)
        << esito.out;
    const auto danneggiato = esito.out.find("\nTableau.mdb ");
    const auto seguente = esito.out.find("\nNumeriCamere.mdb ");
    ASSERT_LT(danneggiato, seguente) << esito.out;
    EXPECT_NE(esito.out.substr(danneggiato, seguente - danneggiato).find("ERRORE: "),
              std::string::npos)
        << esito.out;
    // The report goes on after the damaged file.
    EXPECT_TRUE(RigaCheInizia(esito.out, "Scheda_Cliente.mdb ").ends_with(" formato SQLite"));

    const auto problemi = esito.out.find("\nProblemi:\n");
    ASSERT_NE(problemi, std::string::npos) << esito.out;
    const std::string elenco = esito.out.substr(problemi);
    EXPECT_NE(elenco.find("  - NumeriCamere.mdb: Campo \"TipoCamera\" non trovato nella tabella "
                          "NumeriCamere\n"),
              std::string::npos)
        << elenco;
    EXPECT_NE(elenco.find("  - Archivio Arrangiamento.mdb non trovato"), std::string::npos);
    EXPECT_NE(elenco.find("Contatori"), std::string::npos);
    EXPECT_NE(elenco.find("Tableau.mdb"), std::string::npos);
    EXPECT_TRUE(elenco.ends_with("\nControllo completato: 4 problemi trovati.\n")) << elenco;
}

}  // namespace
}  // namespace tableau::app
