// The chart generator as a whole: the chart file's name, the title, refused dates, the
// 16-bit counters and the replacement of the previous chart.
#include "chart/crea_tableau.h"
#include "support/workstation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/request_check.h"
#include "chart_fixture.h"
#include "db/errors.h"
#include "db/writer/sqlite_writer.h"

namespace tableau::chart {
namespace {

namespace fs = std::filesystem;
using test::Cella;
using test::ChartFixture;
using test::Pieno;
using test::Prenotazione;

std::vector<std::string> Contenuto(const fs::path& cartella) {
    std::vector<std::string> nomi;
    for (const auto& voce : fs::directory_iterator(cartella)) {
        const auto nome = voce.path().filename().string();
        if (nome.find(".mdb") == std::string::npos) {
            nomi.push_back(nome);
        }
    }
    std::sort(nomi.begin(), nomi.end());
    return nomi;
}

TEST(CreaTableau, FileNamedAfterTheWorkstation) {
    ChartFixture fx;
    const RichiestaTableau richiesta{1, 1, "", "Z", "16/03/2026"};
    {
        const test::ScopedEnv pc("PCLocal", "03");
        CreaTableau(test::PostazioneDi(fx.dir()), richiesta, test::kOrologio);
    }
    {
        const test::ScopedEnv pc("PCLocal", nullptr);
        CreaTableau(test::PostazioneDi(fx.dir()), richiesta, test::kOrologio);
    }
    EXPECT_EQ(Contenuto(fx.dir()), (std::vector<std::string>{"FD", "FD03"}));
}

TEST(CreaTableau, TitleWithoutHotelOrTableau) {
    ChartFixture fx;
    fx.db().hotel(2, "Hotel Senza Tableau");
    const routines::OrologioFisso orologio(routines::DataOra{2025, 12, 31, 23, 59});
    CreaTableau(test::PostazioneDi(fx.dir()), {9, 1, "", "Z", "16/03/2026"}, orologio);
    auto righe = test::RigheDelFile(test::readFile(fx.fileTableau()));
    EXPECT_EQ(righe[0], " Hotel : " + std::string(107, ' ') + "31/12/2025 23:59");

    CreaTableau(test::PostazioneDi(fx.dir()), {2, 1, "", "Z", "16/03/2026"}, orologio);
    righe = test::RigheDelFile(test::readFile(fx.fileTableau()));
    EXPECT_EQ(righe[0].substr(0, 77),
              " Hotel : Hotel Senza Tableau" + std::string(26, ' ') + " Tableau Tavornelide : ");
    EXPECT_EQ(righe[0].substr(77, 39), std::string(39, ' '));
}

TEST(CreaTableau, RefusedDateWritesNothing) {
    ChartFixture fx;
    for (const char* data : {"31/02/2024", "050324", "", " ", "16/03/1899"}) {
        EXPECT_THROW(fx.creaSoltanto("", "Z", data), RichiestaRifiutata) << data;
    }
    EXPECT_FALSE(fs::exists(fx.fileTableau()));
    // Blanks around a valid date pass: the title shows the date as typed.
    const auto righe = fx.crea("", "Z", " 16/03/2026");
    EXPECT_EQ(righe[0].substr(77, 28), "Primo piano dal  16/03/2026 ");
    EXPECT_EQ(Cella(righe[3], 0), Pieno(" 16/03/2026"));
}

TEST(CreaTableau, TheTextInMemoryIsTheFileAndWritesNothing) {
    ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    const std::vector<std::string> prima = Contenuto(fx.dir());
    db::DataSource origine(fx.dir(), std::nullopt);
    const RichiestaTableau richiesta{1, 1, "", "Z", "16/03/2026"};
    const std::string testo = TestoTableau(origine, richiesta, test::kOrologio);
    EXPECT_EQ(Contenuto(fx.dir()), prima) << "no chart file, nothing written";
    CreaTableau(origine, test::PostazioneDi(fx.dir()), richiesta, test::kOrologio);
    EXPECT_EQ(testo, test::readFile(fx.fileTableau()));
    // Refused as the file's chart is, before anything is read.
    EXPECT_THROW(TestoTableau(origine, {1, 1, "", "Z", "31/02/2026"}, test::kOrologio),
                 RichiestaRifiutata);
    EXPECT_THROW(TestoTableau(origine, {1, 1, "Z", "A", "16/03/2026"}, test::kOrologio),
                 RichiestaRifiutata);
}

TEST(CreaTableau, FailedRunLeavesThePreviousChartWhole) {
    ChartFixture fx;
    fx.camera("101");
    fx.creaSoltanto("", "Z", "16/03/2026");
    const std::string precedente = test::readFile(fx.fileTableau());

    db::writer::SqliteWriter(fx.dir() / "Scheda_Prenotazione.mdb")
        .exec("DROP TABLE Scheda_Prenotazione");
    try {
        fx.creaSoltanto("", "Z", "17/03/2026");
        FAIL() << "a missing table must stop the run";
    } catch (const db::ErroreArchivio& e) {
        EXPECT_NE(std::string(e.what()).find("Scheda_Prenotazione"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::readFile(fx.fileTableau()), precedente);
    EXPECT_EQ(Contenuto(fx.dir()), std::vector<std::string>{"FD7"}) << "no temporary file left";

    fs::remove(fx.dir() / "Arrangiamento.mdb");
    EXPECT_THROW(fx.creaSoltanto("", "Z", "17/03/2026"), db::ErroreArchivio);
    EXPECT_EQ(test::readFile(fx.fileTableau()), precedente);
}

TEST(CreaTableau, CounterPastThe16BitLimitStopsTheRun) {
    ChartFixture fx;
    fx.camera("101");
    fx.camera("102");
    fx.classe("HB", "M");
    fx.creaSoltanto("", "Z", "16/03/2026");
    const std::string precedente = test::readFile(fx.fileTableau());

    // 32767 persons in a booking pass; 32768 do not.
    fx.prenotazione(
        {.camera = "101", .arrivo = "20260316", .partenza = "20260317", .persone = 32767});
    const auto righe = fx.crea();
    EXPECT_EQ(Cella(righe[5], 0), " (32767)(in arriv");
    fx.prenotazione({.camera = "102",
                     .arrivo = "20260318",
                     .partenza = "20260319",
                     .numero = 2,
                     .persone = 32768});
    const std::string accettato = test::readFile(fx.fileTableau());
    EXPECT_THROW(fx.creaSoltanto("", "Z", "16/03/2026"), routines::ErroreOverflow);
    EXPECT_EQ(test::readFile(fx.fileTableau()), accettato);
    EXPECT_NE(accettato, precedente);

    // Two bookings of the same class on one day pass 32767 in the weekly total.
    ChartFixture totale;
    totale.camera("101");
    totale.camera("102");
    totale.classe("HB", "M");
    for (const char* camera : {"101", "102"}) {
        totale.prenotazione({.camera = camera,
                             .arrivo = "20260320",
                             .partenza = "20260321",
                             .persone = 20000,
                             .trattamento = "HB"});
    }
    try {
        totale.creaSoltanto("", "Z", "16/03/2026");
        FAIL() << "the MP total of 20/03/2026 is 40000";
    } catch (const routines::ErroreOverflow& e) {
        EXPECT_NE(std::string(e.what()).find("20/03/2026"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Contenuto(totale.dir()), std::vector<std::string>{});
}

TEST(CreaTableau, GuestsOfARoomPastThe16BitLimit) {
    ChartFixture fx;
    fx.camera("101");
    {
        db::writer::SqliteWriter ospiti(fx.dir() / "Scheda_Cliente.mdb");
        ospiti.begin();
        for (std::int64_t i = 0; i < 32768; ++i) {
            ospiti.insert("Scheda_Cliente",
                          {"NumeroHotel", "NumeroCamera", "DataArrivo", "DataPartenza", "Partito",
                           "NumeroComponente"},
                          {std::int64_t{1}, std::string("101"), std::string("20260322"),
                           std::string("20260323"), std::string("N"), i + 2});
        }
        ospiti.commit();
    }
    EXPECT_THROW(fx.creaSoltanto("", "Z", "16/03/2026"), routines::ErroreOverflow);
    EXPECT_FALSE(fs::exists(fx.fileTableau()));
    // One guest fewer is still counted.
    db::writer::SqliteWriter(fx.dir() / "Scheda_Cliente.mdb")
        .exec("DELETE FROM Scheda_Cliente WHERE NumeroComponente = 2");
    const auto righe = fx.crea();
    EXPECT_EQ(Cella(righe[5], 6), " (32767)(arrivata");
}

}  // namespace
}  // namespace tableau::chart
