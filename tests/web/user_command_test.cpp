// tableau user add and tableau user remove: the password from standard input, the users
// file of the settings, the exit statuses.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli_serve.h"
#include "support/temp_dir.h"
#include "web/users_file.h"

namespace tableau::test {
namespace {

TEST(ComandoUtente, AddsAndRemovesThroughTheSettingsFile) {
    TempDir cartella;
    const auto file = cartella / "utenti";
    routines::Impostazioni impostazioni;
    impostazioni.utentiWeb = routines::Impostazione{file.string(), "prova"};
    std::ostringstream out;
    std::ostringstream err;

    std::istringstream password("password-del-portiere\r\nseconda riga\n");
    EXPECT_EQ(app::AggiungiUtenteWeb({"portiere"}, password, out, err, impostazioni), 0);
    EXPECT_NE(out.str().find("Utente portiere aggiunto al file " + file.string()),
              std::string::npos);
    EXPECT_TRUE(web::Autentica(file, "portiere", "password-del-portiere"));
    EXPECT_EQ(readFile(file).find("password-del-portiere"), std::string::npos);

    std::istringstream vuota("");
    EXPECT_EQ(app::AggiungiUtenteWeb({"altro"}, vuota, out, err, impostazioni), 2);
    EXPECT_NE(err.str().find("manca la password"), std::string::npos);
    std::istringstream corta("corta\n");
    EXPECT_EQ(app::AggiungiUtenteWeb({"altro"}, corta, out, err, impostazioni), 2);
    std::istringstream buona("password-lunga\n");
    EXPECT_EQ(app::AggiungiUtenteWeb({"nome con spazi"}, buona, out, err, impostazioni), 2);

    // Removed through the command line, as tableau user remove NAME runs it.
    const routines::OrologioDiSistema orologio;
    EXPECT_EQ(app::EseguiCon({"user", "remove", "nessuno"}, out, err, impostazioni, orologio), 1);
    EXPECT_NE(err.str().find("tableau user remove: nessun utente nessuno nel file"),
              std::string::npos);
    EXPECT_EQ(app::EseguiCon({"user", "remove", "portiere"}, out, err, impostazioni, orologio), 0);
    EXPECT_NE(out.str().find("Utente portiere rimosso dal file"), std::string::npos);
    EXPECT_FALSE(web::UtenteEsiste(file, "portiere"));
    EXPECT_EQ(app::FileUtentiImpostato({}), "/etc/tableau/utenti");
}

TEST(ComandoServi, RefusesAnOpenAddressWithoutCertificate) {
    routines::Impostazioni impostazioni;
    TempDir cartella;
    impostazioni.utentiWeb = routines::Impostazione{(cartella / "utenti").string(), "prova"};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(app::Servi({"0.0.0.0:0", false}, out, err, impostazioni), 2);
    EXPECT_NE(err.str().find("--insecure"), std::string::npos);
    EXPECT_EQ(app::Servi({"localhost:80", false}, out, err, impostazioni), 2);
    // A stop asked for ends it cleanly.
    const std::atomic<bool> fermati{true};
    std::ostringstream servito;
    EXPECT_EQ(app::Servi({"127.0.0.1:0", false}, servito, err, impostazioni, &fermati), 0);
    EXPECT_NE(servito.str().find("Tableau in ascolto su http://127.0.0.1:"), std::string::npos);
    EXPECT_NE(err.str().find("nessun utente nel file"), std::string::npos);
}

}  // namespace
}  // namespace tableau::test
