// The settings: the office's file, the user's file, the environment and the option, each
// above the one before; wrong files named by file and line.
#include "routines/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "routines/errors.h"
#include "support/temp_dir.h"

namespace tableau::routines {
namespace {

using test::ScopedEnv;
using test::writeFile;

TEST(Impostazioni, EachSourceAboveTheOneBefore) {
    test::TempDir dir;
    const ScopedEnv pc("PCLocal", nullptr);
    const ScopedEnv cartella("TABLEAU_CARTELLA", nullptr);
    writeFile(dir / "ufficio.conf",
              "# the office\r\ncartella = /srv/hotel\r\npostazione = 1\r\naltro=x\r\n");
    writeFile(dir / "utente.conf", "\n  postazione=  7 \n");
    FontiImpostazioni fonti{dir / "ufficio.conf", dir / "utente.conf", std::nullopt};

    auto imp = RisolviImpostazioni(fonti);
    ASSERT_TRUE(imp.cartellaDati && imp.postazione);
    EXPECT_EQ(imp.cartellaDati->valore, "/srv/hotel");
    EXPECT_EQ(imp.cartellaDati->origine, (dir / "ufficio.conf").string());
    EXPECT_EQ(imp.postazione->valore, "7");
    EXPECT_EQ(imp.postazione->origine, (dir / "utente.conf").string());

    {
        const ScopedEnv ambiente("TABLEAU_CARTELLA", "/mnt/dati");
        const ScopedEnv postazione("PCLocal", "12");
        imp = RisolviImpostazioni(fonti);
        EXPECT_EQ(imp.cartellaDati->valore, "/mnt/dati");
        EXPECT_EQ(imp.cartellaDati->origine, "TABLEAU_CARTELLA");
        EXPECT_EQ(imp.postazione->valore, "12");
        EXPECT_EQ(imp.postazione->origine, "PCLocal");
        fonti.opzioneCartella = "/opzione";
        imp = RisolviImpostazioni(fonti);
        EXPECT_EQ(imp.cartellaDati->valore, "/opzione");
        EXPECT_EQ(imp.cartellaDati->origine, "--cartella");
    }
    // No file at all: nothing is set, the current directory stays.
    imp = RisolviImpostazioni(FontiImpostazioni{dir / "manca.conf", {}, std::nullopt});
    EXPECT_FALSE(imp.cartellaDati);
    EXPECT_FALSE(imp.postazione);
}

TEST(Impostazioni, TheMailKeysUserAboveOffice) {
    test::TempDir dir;
    writeFile(dir / "ufficio.conf",
              "mittente = tableau@hotel.it\nsendmail = /usr/sbin/sendmail -t -oi\n"
              "mail.recipients = a@b.it, c@d.it\nmail.format = pdf\nmail.hotel = 1\n"
              "mail.tableau = 2\nmail.from = 101\nmail.to = 199\n");
    writeFile(dir / "utente.conf", "mail.format = totals\nmail.to = 150\nmittente =\n");
    const auto imp = RisolviImpostazioni({dir / "ufficio.conf", dir / "utente.conf", {}});
    ASSERT_TRUE(imp.mittente && imp.sendmail && imp.destinatari && imp.formatoPosta &&
                imp.hotelPosta && imp.tableauPosta && imp.primaCameraPosta &&
                imp.ultimaCameraPosta);
    EXPECT_EQ(imp.mittente->valore, "tableau@hotel.it") << "an empty value does not count";
    EXPECT_EQ(imp.sendmail->valore, "/usr/sbin/sendmail -t -oi");
    EXPECT_EQ(imp.destinatari->valore, "a@b.it, c@d.it");
    EXPECT_EQ(imp.formatoPosta->valore, "totals");
    EXPECT_EQ(imp.formatoPosta->origine, (dir / "utente.conf").string());
    EXPECT_EQ(imp.hotelPosta->valore, "1");
    EXPECT_EQ(imp.tableauPosta->valore, "2");
    EXPECT_EQ(imp.primaCameraPosta->valore, "101");
    EXPECT_EQ(imp.ultimaCameraPosta->valore, "150");
}

TEST(Impostazioni, ServerAndSchemaFollowTheSameOrder) {
    test::TempDir dir;
    const ScopedEnv server("TABLEAU_SERVER", nullptr);
    const ScopedEnv schema("TABLEAU_SCHEMA", nullptr);
    writeFile(dir / "ufficio.conf",
              "server = host=db.catena port=5432 dbname=catena\nschema = Roma\n");
    writeFile(dir / "utente.conf", "schema = milano\n");
    FontiImpostazioni fonti{dir / "ufficio.conf", dir / "utente.conf", std::nullopt};

    auto imp = RisolviImpostazioni(fonti);
    ASSERT_TRUE(imp.server && imp.schema);
    // The value is the rest of the line, "=" and spaces included.
    EXPECT_EQ(imp.server->valore, "host=db.catena port=5432 dbname=catena");
    EXPECT_EQ(imp.server->origine, (dir / "ufficio.conf").string());
    EXPECT_EQ(imp.schema->valore, "milano");
    EXPECT_EQ(imp.schema->origine, (dir / "utente.conf").string());

    const ScopedEnv ambienteServer("TABLEAU_SERVER", "postgresql://standby/catena");
    const ScopedEnv ambienteSchema("TABLEAU_SCHEMA", "napoli");
    imp = RisolviImpostazioni(fonti);
    EXPECT_EQ(imp.server->valore, "postgresql://standby/catena");
    EXPECT_EQ(imp.server->origine, "TABLEAU_SERVER");
    EXPECT_EQ(imp.schema->origine, "TABLEAU_SCHEMA");

    fonti.opzioneServer = "host=10.0.0.5";
    fonti.opzioneSchema = "torino";
    imp = RisolviImpostazioni(fonti);
    EXPECT_EQ(imp.server->valore, "host=10.0.0.5");
    EXPECT_EQ(imp.server->origine, "--server");
    EXPECT_EQ(imp.schema->valore, "torino");
    EXPECT_EQ(imp.schema->origine, "--schema");

    // Without any, the files are read: no server, no schema.
    const ScopedEnv senzaServer("TABLEAU_SERVER", nullptr);
    const ScopedEnv senzaSchema("TABLEAU_SCHEMA", nullptr);
    imp = RisolviImpostazioni(FontiImpostazioni{dir / "manca.conf", {}, std::nullopt});
    EXPECT_FALSE(imp.server);
    EXPECT_FALSE(imp.schema);
}

TEST(Impostazioni, WrongFilesAreNamed) {
    test::TempDir dir;
    writeFile(dir / "rotto.conf", "cartella = /srv\nsolo testo\n");
    try {
        LeggiFileImpostazioni(dir / "rotto.conf");
        FAIL() << "riga senza chiave accettata";
    } catch (const Errore& e) {
        EXPECT_NE(std::string(e.what()).find("rotto.conf, riga 2"), std::string::npos) << e.what();
    }
    writeFile(dir / "chiuso.conf", "cartella = /srv\n");
    ::chmod((dir / "chiuso.conf").c_str(), 0);
    if (::access((dir / "chiuso.conf").c_str(), R_OK) != 0) {  // root reads it anyway
        EXPECT_THROW(LeggiFileImpostazioni(dir / "chiuso.conf"), Errore);
    }
    EXPECT_TRUE(LeggiFileImpostazioni(dir / "manca.conf").empty());
}

TEST(Impostazioni, AQuotedValueIsReadWithoutItsQuotes) {
    test::TempDir dir;
    writeFile(dir / "ufficio.conf",
              "cartella = \"/srv/hotel dati\"\npostazione = '7'\nmittente = \"a\"b\"\n"
              "server = \"host=x\nschema = \"\"\nmail.hotel = \"1'\nmail.to = '\"101\"'\n");
    const auto chiavi = LeggiFileImpostazioni(dir / "ufficio.conf");
    EXPECT_EQ(chiavi.at("cartella"), "/srv/hotel dati");
    EXPECT_EQ(chiavi.at("postazione"), "7");
    EXPECT_EQ(chiavi.at("mittente"), "a\"b") << "a quote inside stays";
    EXPECT_EQ(chiavi.at("server"), "\"host=x") << "an unclosed quote stays";
    EXPECT_EQ(chiavi.at("mail.hotel"), "\"1'") << "quotes that do not match stay";
    EXPECT_EQ(chiavi.at("mail.to"), "\"101\"") << "only the outer pair goes";
    const auto imp = RisolviImpostazioni({dir / "ufficio.conf", {}, std::nullopt});
    EXPECT_FALSE(imp.schema) << "\"\" is an empty value, not set";
    ASSERT_TRUE(imp.cartellaDati);
    EXPECT_EQ(imp.cartellaDati->valore, "/srv/hotel dati");
}

TEST(Impostazioni, AnUnknownKeyIsNamedWithItsLineAndTheNearestKey) {
    test::TempDir dir;
    writeFile(dir / "ufficio.conf",
              "# l'ufficio\n\ncartela = /srv/hotel\npostazione = 1\nformat = pdf\n"
              "Mail.Hotel = 1\nmial.to = 104\nserver.maxage = 12\nvolume = 11\n");
    const auto sconosciute = ChiaviSconosciute(dir / "ufficio.conf");
    ASSERT_EQ(sconosciute.size(), 6u);
    EXPECT_EQ(sconosciute[0].riga, 3);
    EXPECT_EQ(sconosciute[0].chiave, "cartela");
    EXPECT_EQ(sconosciute[0].messaggio(), (dir / "ufficio.conf").string() +
                                              ", riga 3: chiave sconosciuta \"cartela\" (forse "
                                              "\"cartella\"?)");
    EXPECT_EQ(sconosciute[1].riga, 5);
    EXPECT_EQ(sconosciute[1].vicina, "mail.format") << "the key without its group";
    EXPECT_EQ(sconosciute[2].vicina, "mail.hotel") << "the key in other letters";
    EXPECT_EQ(sconosciute[3].vicina, "mail.to") << "two letters swapped";
    EXPECT_EQ(sconosciute[4].vicina, "server.max-age");
    EXPECT_EQ(sconosciute[5].riga, 9);
    EXPECT_FALSE(sconosciute[5].vicina) << "nothing near: no guess";
    EXPECT_EQ(sconosciute[5].messaggio().find("forse"), std::string::npos);
    EXPECT_EQ(ChiaveVicina("sever"), "server");
    EXPECT_EQ(ChiaveVicina("to"), "mail.to");
    EXPECT_FALSE(ChiaveVicina("xyz"));

    // Resolving keeps going and says it, office's file then user's file.
    writeFile(dir / "utente.conf", "postazioni = 3\n");
    const auto imp = RisolviImpostazioni({dir / "ufficio.conf", dir / "utente.conf", {}});
    ASSERT_EQ(imp.avvisi.size(), 7u);
    EXPECT_EQ(imp.avvisi[0], sconosciute[0].messaggio());
    EXPECT_EQ(imp.avvisi[6], (dir / "utente.conf").string() +
                                 ", riga 1: chiave sconosciuta \"postazioni\" (forse "
                                 "\"postazione\"?)");
    ASSERT_TRUE(imp.postazione);
    EXPECT_EQ(imp.postazione->valore, "1");
}

TEST(Impostazioni, EveryKnownKeyIsReadAndNoneIsUnknown) {
    test::TempDir dir;
    std::string testo;
    for (const std::string_view chiave : ChiaviImpostazioni()) {
        testo += std::string(chiave) + " = 1\n";
    }
    writeFile(dir / "ufficio.conf", testo);
    EXPECT_TRUE(ChiaviSconosciute(dir / "ufficio.conf").empty());
    const ScopedEnv pc("PCLocal", nullptr);
    const ScopedEnv cartella("TABLEAU_CARTELLA", nullptr);
    const ScopedEnv server("TABLEAU_SERVER", nullptr);
    const ScopedEnv schema("TABLEAU_SCHEMA", nullptr);
    const auto imp = RisolviImpostazioni({dir / "ufficio.conf", {}, std::nullopt});
    EXPECT_TRUE(imp.avvisi.empty());
    const std::optional<Impostazione>* campi[] = {
        &imp.cartellaDati,      &imp.postazione, &imp.server,         &imp.schema,
        &imp.etaMassima,        &imp.mittente,   &imp.sendmail,       &imp.destinatari,
        &imp.formatoPosta,      &imp.hotelPosta, &imp.tableauPosta,   &imp.primaCameraPosta,
        &imp.ultimaCameraPosta, &imp.ascoltoWeb, &imp.certificatoWeb, &imp.chiaveWeb,
        &imp.utentiWeb};
    EXPECT_EQ(std::size(campi), ChiaviImpostazioni().size());
    for (const auto* campo : campi) {
        EXPECT_TRUE(campo->has_value());
    }
}

TEST(Impostazioni, TheServersMaxAgeIsWholeHoursAboveZero) {
    test::TempDir dir;
    const auto eta = [&](const std::string& ufficio, const std::string& utente) {
        writeFile(dir / "ufficio.conf", ufficio);
        writeFile(dir / "utente.conf", utente);
        return RisolviImpostazioni({dir / "ufficio.conf", dir / "utente.conf", std::nullopt});
    };
    auto imp = eta("", "");
    EXPECT_EQ(imp.etaMassimaDati, std::chrono::hours(36));
    EXPECT_FALSE(imp.etaMassima);
    imp = eta("server.max-age = 48\n", "");
    EXPECT_EQ(imp.etaMassimaDati, std::chrono::hours(48));
    EXPECT_TRUE(imp.avvisi.empty());
    imp = eta("server.max-age = 48\n", "server.max-age = \"12\"\n");
    EXPECT_EQ(imp.etaMassimaDati, std::chrono::hours(12));
    EXPECT_EQ(imp.etaMassima->origine, (dir / "utente.conf").string());

    for (const std::string sbagliato : {"0", "-3", "12h", "1.5", "+4", "tre", "99999999999"}) {
        imp = eta("server.max-age = 48\n",
                  "\nserver.max-age = 1\nserver.max-age = " + sbagliato + "\n");
        EXPECT_EQ(imp.etaMassimaDati, std::chrono::hours(36)) << sbagliato;
        ASSERT_EQ(imp.avvisi.size(), 1u) << sbagliato;
        EXPECT_EQ(imp.avvisi[0], (dir / "utente.conf").string() + ", riga 3: server.max-age = \"" +
                                     sbagliato +
                                     "\" non \xC3\xA8 un numero intero di ore maggiore di zero "
                                     "(vale 36)");
    }
}

}  // namespace
}  // namespace tableau::routines
