// tableau check finds what a later run would stumble on: a key of the settings files that
// nothing reads, a mail the timer could not send, a print destination whose queue is not
// there. Each is a line of the problems and exit status 1; the other commands warn once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "support/command_runner.h"
#include "support/cups_support.h"
#include "support/data_directory.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::writeFile;

std::size_t Volte(const std::string& testo, const std::string& parte) {
    std::size_t n = 0;
    for (auto p = testo.find(parte); p != std::string::npos; p = testo.find(parte, p + 1)) {
        ++n;
    }
    return n;
}

// Hotel 1 with block 1 (rooms 101 to 104), the user's settings file in a directory of its
// own, workstation 4.
class ProvaControllo : public ::testing::Test {
  protected:
    ProvaControllo() {
        hotel_.hotel(1, "Hotel Sole");
        hotel_.tableau(1, 1, "Piano terra");
        for (const char* numero : {"101", "102", "103", "104"}) {
            hotel_.camera(1, 1, numero, "DOP", 2);
        }
        fs::create_directories(altrove_ / "tableau");
        writeFile(sendmail_, "#!/bin/sh\ncat >/dev/null\n");
        ::chmod(sendmail_.c_str(), 0755);
    }

    test::EsitoComando controlla(const std::string& impostazioni) {
        writeFile(file_, impostazioni);
        return test::EseguiRiga({"check", "-C", hotel_.dir().string()});
    }
    // "  - <problem>" in the list, from the start of the line.
    static std::string Problema(const std::string& testo) { return "\n  - " + testo; }

    test::HotelFixture hotel_;
    const test::Altrove altrove_;
    const ScopedEnv pc_{"PCLocal", "4"};
    const fs::path file_ = altrove_ / "tableau" / "tableau.conf";
    const std::string da_ = " (da " + file_.string() + "): ";
    const fs::path sendmail_ = altrove_ / "sendmail";
};

TEST_F(ProvaControllo, AnUnknownKeyIsAProblemForCheckAndAWarningForTheOthers) {
    auto esito = controlla("postazione = \"4\"\nserver.max-age = '48'\n");
    EXPECT_EQ(esito.stato, kEseguito) << esito.out << esito.err;
    EXPECT_EQ(esito.out.find("Problemi"), std::string::npos) << esito.out;

    const std::string sconosciuta =
        file_.string() + ", riga 3: chiave sconosciuta \"cartela\" (forse \"cartella\"?)";
    esito = controlla(
        "# la postazione\npostazione = 4\ncartela = /srv/hotel\n"
        "server.max-age = un giorno\n");
    EXPECT_EQ(esito.stato, kFallito) << esito.err;
    EXPECT_NE(esito.out.find(Problema(sconosciuta) + '\n'), std::string::npos) << esito.out;
    EXPECT_NE(esito.out.find(Problema(file_.string() +
                                      ", riga 4: server.max-age = \"un giorno\" non \xC3\xA8 un "
                                      "numero intero di ore maggiore di zero (vale 36)")),
              std::string::npos)
        << esito.out;
    EXPECT_NE(esito.out.find("2 problemi trovati"), std::string::npos) << esito.out;
    EXPECT_TRUE(esito.err.empty()) << "check lists them, once: " << esito.err;

    // Another command works and says it once.
    const auto elenco = test::EseguiRiga({"list", "-C", hotel_.dir().string()});
    EXPECT_EQ(elenco.stato, kEseguito) << elenco.err;
    EXPECT_NE(elenco.out.find("Hotel Sole"), std::string::npos) << elenco.out;
    EXPECT_EQ(Volte(elenco.err, "cartela"), 1u) << elenco.err;
    EXPECT_NE(elenco.err.find("tableau: " + sconosciuta + '\n'), std::string::npos) << elenco.err;
}

TEST_F(ProvaControllo, TheMailIsCheckedAsTheTimerWouldSendIt) {
    const std::string buona = "mittente = tableau@hotel-sole.it\nsendmail = " + sendmail_.string() +
                              " -t -oi\nmail.recipients = a@b.it, c@d.it\n";
    auto esito = controlla(buona +
                           "mail.format = totals\nmail.hotel = 1\nmail.tableau = 1\n"
                           "mail.from = 102\nmail.to = 103\n");
    EXPECT_EQ(esito.stato, kEseguito) << esito.out << esito.err;
    EXPECT_EQ(esito.out.find("Problemi"), std::string::npos) << esito.out;

    esito = controlla(
        "mittente = tableau@hotel-sole.it\nsendmail = /nonexistent -t\n"
        "mail.recipients = a@b.it, ricevimento\nmail.format = docx\nmail.hotel = 9\n"
        "mail.tableau = 1\n");
    EXPECT_EQ(esito.stato, kFallito) << esito.err;
    for (const std::string& problema : std::vector<std::string>{
             "Posta, mail.recipients" + da_ + "l'indirizzo \"ricevimento\" non \xC3\xA8 valido",
             "Posta, mail.format" + da_ +
                 "il formato \"docx\" non esiste: pdf, xlsx, text o totals.",
             "Posta, sendmail" + da_ + "il programma /nonexistent non esiste.",
             "Posta, mail.hotel" + da_ + "l'albergo 9 non esiste. Alberghi: 1"}) {
        EXPECT_NE(esito.out.find(Problema(problema)), std::string::npos) << problema << esito.out;
    }
    EXPECT_NE(esito.out.find("4 problemi trovati"), std::string::npos) << esito.out;

    // A sender that is no address, a program that cannot run, a block that is not there.
    esito = controlla("mittente = tableau\nsendmail = " + altrove_.path().string() +
                      "\nmail.recipients = a@b.it\nmail.hotel = 1\nmail.tableau = 2\n");
    EXPECT_EQ(esito.stato, kFallito);
    for (const std::string& problema : std::vector<std::string>{
             "Posta, mittente" + da_ + "il mittente \"tableau\" non \xC3\xA8 un indirizzo valido.",
             "Posta, sendmail" + da_ + "il programma " + altrove_.path().string() +
                 " non \xC3\xA8 eseguibile.",
             "Posta, mail.tableau" + da_ + "il tableau 2 dell'albergo 1 non esiste."}) {
        EXPECT_NE(esito.out.find(Problema(problema)), std::string::npos) << problema << esito.out;
    }
    EXPECT_NE(esito.out.find("3 problemi trovati"), std::string::npos) << esito.out;

    // What the timer's run needs and does not get: no recipient, no hotel; then a range
    // without rooms.
    esito = controlla("mittente = tableau@hotel-sole.it\nsendmail = " + sendmail_.string() +
                      "\nmail.tableau = 1\n");
    EXPECT_EQ(esito.stato, kFallito);
    EXPECT_NE(esito.out.find(Problema("Posta, mail.recipients: nessun destinatario")),
              std::string::npos)
        << esito.out;
    EXPECT_NE(esito.out.find(Problema("Posta, mail.hotel: manca (tableau mail senza --hotel la "
                                      "richiede).")),
              std::string::npos)
        << esito.out;
    // The sender and the program alone serve runs that give the rest as options.
    esito = controlla("mittente = tableau@hotel-sole.it\nsendmail = " + sendmail_.string() + "\n");
    EXPECT_EQ(esito.stato, kEseguito) << esito.out;
    esito = controlla("mittente = tableau@\nsendmail = " + sendmail_.string() + "\n");
    EXPECT_NE(esito.out.find("1 problema trovato"), std::string::npos) << esito.out;

    esito = controlla(buona + "mail.hotel = 1\nmail.tableau = 1\nmail.from = 500\n");
    EXPECT_EQ(esito.stato, kFallito);
    EXPECT_NE(esito.out.find(Problema("Posta, mail.from" + da_ +
                                      "nessuna camera del tableau 1 dell'albergo 1 tra 500 e")),
              std::string::npos)
        << esito.out;
    EXPECT_NE(esito.out.find("1 problema trovato"), std::string::npos) << esito.out;
}

TEST_F(ProvaControllo, APrintDestinationWhoseQueueIsNotThereIsNamed) {
    for (const char* coda : {test::kCodaPdf, test::kCodaGrezza}) {
        if (const auto motivo = test::CodaAssente(coda)) {
            GTEST_SKIP() << *motivo;
        }
    }
    const std::string grassetto(36, '0');
    hotel_.add("SetStampa", {{"TipoStampa", std::int64_t{1}},
                             {"Compresso", "027015001002003001027018004005006000"},
                             {"Grassetto", grassetto}});
    hotel_.add("SetStampa", {{"TipoStampa", std::int64_t{2}},
                             {"Compresso", "027015001002003000027018004005006000"},
                             {"Grassetto", grassetto}});
    const auto destinazione = [&](const std::string& nome, int tipo, const std::string& linea) {
        hotel_.add("Stampanti", {{"NumeroHotel", std::int64_t{1}},
                                 {"Destinazione", nome},
                                 {"TipoStampa", std::int64_t{tipo}},
                                 {"Linea", linea}});
    };
    // Page printers (type 1): a queue, a PDF file, the current printer, a name that is none.
    destinazione("Ufficio", 1, test::kCodaPdf);
    destinazione("Copia", 1, "copia.pdf");
    destinazione("Corrente", 1, "");
    destinazione("Laser", 1, "Reception");
    // Raw outputs (type 2): a queue, a file, a device, a bare name that is no queue, a file
    // in a folder that does not exist.
    destinazione("Grezza", 2, test::kCodaGrezza);
    destinazione("Su file", 2, "tableau.txt");
    destinazione("Nulla", 2, "/dev/null");
    destinazione("Matrice", 2, "Epson");
    destinazione("Archivio", 2, "/non/esiste/stampa.txt");

    auto esito = controlla("");
    EXPECT_EQ(esito.stato, kFallito) << esito.err;
    for (const std::string& problema : std::vector<std::string>{
             "Destinazione di stampa \"Laser\": la stampante \"Reception\" non \xC3\xA8 "
             "una coda di "
             "stampa del sistema (si stamperebbe sulla stampante corrente)",
             "Destinazione di stampa \"Matrice\": \"Epson\" non \xC3\xA8 una coda di stampa del "
             "sistema (si scriverebbe il file " +
                 (hotel_.dir() / "Epson").string() + ")",
             "Destinazione di stampa \"Archivio\": la cartella /non/esiste del file stampa.txt non "
             "esiste"}) {
        EXPECT_NE(esito.out.find(Problema(problema)), std::string::npos) << problema << esito.out;
    }
    EXPECT_NE(esito.out.find("3 problemi trovati"), std::string::npos) << esito.out;

    // The line is read as the print job reads it: a variable named after the destination
    // replaces it.
    const ScopedEnv matrice("Matrice", test::kCodaGrezza);
    const ScopedEnv laser("Laser", "/var/tmp/laser.pdf");
    esito = controlla("");
    EXPECT_NE(esito.out.find("1 problema trovato"), std::string::npos) << esito.out;
    EXPECT_EQ(esito.out.find("\"Matrice\""), std::string::npos) << esito.out;
}

}  // namespace
}  // namespace tableau::app
