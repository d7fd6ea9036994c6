// The start of every run: the settings that name the data directory and the workstation,
// the message that names a wrong one, "tableau check" saying where each came from, and the
// log lines of a chart.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "routines/errors.h"
#include "support/hotel_fixture.h"
#include "support/log_socket.h"
#include "support/temp_dir.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::writeFile;

int Esegui(std::vector<std::string> argomenti, std::string& out, std::string& err) {
    argomenti.insert(argomenti.begin(), "tableau");
    std::vector<char*> argv;
    for (auto& a : argomenti) {
        argv.push_back(a.data());
    }
    std::ostringstream o;
    std::ostringstream e;
    const int stato = esegui(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return stato;
}

TEST(Avvio, GeneralOptionsStandAnywhere) {
    const auto opzioni = LeggiOpzioniGenerali({"chart", "-C", "/srv", "--hotel", "1"});
    EXPECT_EQ(opzioni.cartella, "/srv");
    EXPECT_EQ(opzioni.resto, (Argomenti{"chart", "--hotel", "1"}));
    EXPECT_EQ(LeggiOpzioniGenerali({"--cartella=/x", "check"}).cartella, "/x");
    EXPECT_THROW(LeggiOpzioniGenerali({"check", "--cartella"}), routines::RichiestaRifiutata);
}

TEST(Avvio, TheSettingThatNamesAMissingDirectoryIsNamed) {
    test::TempDir dir;
    const test::CurrentDirectory qui(dir.path());
    const ScopedEnv cartella("TABLEAU_CARTELLA", nullptr);
    const ScopedEnv pc("PCLocal", nullptr);
    writeFile(dir / "ufficio.conf", "cartella = /non/esiste\npostazione = 9\n");
    const routines::FontiImpostazioni fonti{dir / "ufficio.conf", dir / "nessuno.conf",
                                            std::nullopt};
    try {
        ApplicaImpostazioni({}, fonti);
        FAIL() << "cartella inesistente accettata";
    } catch (const routines::Errore& e) {
        EXPECT_EQ(std::string(e.what()), "La cartella dei dati /non/esiste indicata da " +
                                             (dir / "ufficio.conf").string() + " non esiste.");
    }
    EXPECT_EQ(fs::current_path(), dir.path());

    // The option wins; the workstation of the file is given to PCLocal.
    fs::create_directory(dir / "dati");
    const auto imp = ApplicaImpostazioni(OpzioniGenerali{(dir / "dati").string(), {}}, fonti);
    EXPECT_EQ(fs::current_path(), dir / "dati");
    EXPECT_EQ(imp.cartellaDati->origine, "--cartella");
    ASSERT_NE(std::getenv("PCLocal"), nullptr);
    EXPECT_STREQ(std::getenv("PCLocal"), "9");
}

TEST(Avvio, CheckSaysWhereEachSettingCameFromAndTheChartIsLogged) {
    test::HotelFixture hotel;
    hotel.hotel(1, "Hotel Sole");
    hotel.tableau(1, 1, "Piano terra");
    hotel.camera(1, 1, "101", "DOP", 2);
    test::TempDir altrove;
    const test::CurrentDirectory qui(altrove.path());
    const ScopedEnv pc("PCLocal", "4");
    const ScopedEnv config("XDG_CONFIG_HOME", altrove.path().c_str());
    test::PresaRegistro registro(altrove / "log");
    std::string out;
    std::string err;
    Esegui({"check", "-C", hotel.dir().string()}, out, err);
    EXPECT_NE(out.find("Cartella dei dati: " + hotel.dir().string() + " (da --cartella)"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Postazione: 4 (da PCLocal)"), std::string::npos) << out;

    ASSERT_EQ(Esegui({"-C", hotel.dir().string(), "chart", "--hotel", "1", "--tableau", "1",
                      "--from", "101", "--to", "101", "--date", "16/03/2026"},
                     out, err),
              kEseguito)
        << err;
    EXPECT_TRUE(fs::exists(hotel.dir() / "FD4"));
    EXPECT_TRUE(registro.Ricevi().ends_with(
        "postazione 4: tableau scritto: albergo 1, tableau 1, camere da 101 a 101, settimana "
        "dal 16/03/2026, file FD4"));

    // A failure is logged too; a refused request is not a failure.
    Esegui({"-C", hotel.dir().string(), "print", "--destination", "Manca"}, out, err);
    const std::string riga = registro.Ricevi();
    EXPECT_TRUE(riga.starts_with("<11>")) << riga;
    EXPECT_NE(riga.find("stampa su Manca non riuscita"), std::string::npos) << riga;
}

}  // namespace
}  // namespace tableau::app
