// tableau mail, run in-process in a data directory of real SQLite files (and once as the
// installed timer runs it: the executable, no arguments, the settings files), delivering
// through msmtp to an SMTP server the test starts; what arrives is read by Python's email
// package, the attachments by pdftotext and openpyxl.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "chart/chart_fixture.h"
#include "chart/chart_reader.h"
#include "routines/child_process.h"
#include "support/command_runner.h"
#include "support/cups_support.h"
#include "support/data_directory.h"
#include "support/log_socket.h"
#include "support/smtp_server.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

// The numbers of the text's line that starts with the label.
std::vector<std::string> Colonne(const std::vector<std::string>& righe,
                                 const std::string& etichetta) {
    for (const std::string& riga : righe) {
        if (riga.starts_with(etichetta + "  ")) {
            std::istringstream campi(riga.substr(etichetta.size()));
            std::vector<std::string> valori;
            for (std::string campo; campi >> campo;) {
                valori.push_back(campo);
            }
            return valori;
        }
    }
    return {};
}

template <std::size_t N>
std::vector<std::string> Testi(const std::array<long, N>& numeri) {
    std::vector<std::string> testi;
    for (const long n : numeri) {
        testi.push_back(std::to_string(n));
    }
    return testi;
}

// The demo week (rooms 101 to 104, PCLocal 7), the sendmail interface delivering to the
// test's server, the clock on Monday 16/03/2026 at 6:30.
class ProvaComandoMail : public ::testing::Test {
  protected:
    ProvaComandoMail() {
        test::SettimanaDiEsempio(fx_);
        impostazioni_.sendmail = routines::Impostazione{server_.sendmail().string(), "prova"};
        impostazioni_.mittente = routines::Impostazione{"tableau@hotel-bellavista.it", "prova"};
    }

    test::EsitoComando mail(const Argomenti& argomenti) {
        return test::EseguiComando(postazione_, "mail", argomenti, impostazioni_, orologio_);
    }

    static Argomenti Richiesta(Argomenti altri) {
        Argomenti argomenti{"--hotel", "1", "--tableau", "1"};
        argomenti.insert(argomenti.end(), altri.begin(), altri.end());
        return argomenti;
    }

    test::ChartFixture fx_;  // PCLocal = 7
    test::PostazioneDiProva postazione_{fx_.dir(), "7"};
    test::ServerSmtp server_;
    routines::Impostazioni impostazioni_;
    routines::OrologioFisso orologio_{routines::DataOra{2026, 3, 16, 6, 30}};
    test::SenzaDisplay timer_;
};

TEST_F(ProvaComandoMail, ThePdfOfTodaysWeekWithTheChartsTotals) {
    const auto esito = mail(
        Richiesta({"--recipient", "ricevimento@hotel-bellavista.it", "--recipient=dir@altro.it"}));
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "Tableau inviato per posta a 2 destinatari.\n");

    // Today's week, every room of the block (no room of class C to propose a range).
    const chart::TableauLetto tableau = chart::LeggiFileTableau(fx_.fileTableau());
    ASSERT_EQ(tableau.camere.size(), 4u);
    EXPECT_EQ(tableau.dataInizio, "16/03/2026");

    ASSERT_EQ(server_.messaggi().size(), 1u);
    const test::PostaLetta posta = server_.leggi(0);
    EXPECT_EQ(posta.destinatariBusta,
              (std::vector<std::string>{"ricevimento@hotel-bellavista.it", "dir@altro.it"}));
    EXPECT_EQ(posta.intestazioni.at("subject"),
              "Tableau Hotel Bellavista \xE2\x80\x93 Primo piano \xE2\x80\x93 dal 16/03/2026");
    EXPECT_EQ(posta.intestazioni.at("from"), "tableau@hotel-bellavista.it");
    EXPECT_FALSE(posta.intestazioni.at("message-id").empty());
    EXPECT_EQ(posta.intestazioni.at("date-parsed"), "True");
    // The body opens with where the data came from.
    ASSERT_FALSE(posta.righe.empty());
    EXPECT_TRUE(posta.righe.front().starts_with("Dati dalla cartella " + fx_.dir().string() +
                                                ", letti il "))
        << posta.righe.front();
    EXPECT_EQ(Colonne(posta.righe, "CC"), Testi(tableau.totaleCC));
    EXPECT_EQ(Colonne(posta.righe, "MP"), Testi(tableau.totaleMP));
    EXPECT_EQ(Colonne(posta.righe, "PC"), Testi(tableau.totalePC));
    EXPECT_EQ(Colonne(posta.righe, "Data").front(), "16/03/2026");
    EXPECT_EQ(Colonne(posta.righe, "Arrivi (camere)"),
              (std::vector<std::string>{"1", "0", "1", "0", "0", "0", "0"}));

    ASSERT_EQ(posta.allegati.size(), 1u);
    EXPECT_EQ(posta.allegati[0].nome, "Tableau Hotel Bellavista - Primo piano - 2026-03-16.pdf");
    EXPECT_EQ(posta.allegati[0].tipo, "application/pdf");
    const std::string pdf =
        test::Comando("pdftotext -layout '" + posta.allegati[0].file.string() + "' -");
    EXPECT_NE(pdf.find("Rossi Mario"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("Pagina 1 di 1"), std::string::npos);
    EXPECT_EQ(test::readFile(posta.allegati[0].file), test::readFile(fx_.dir() / "fd7.pdf"))
        << "the workstation's PDF is what was sent";
}

TEST_F(ProvaComandoMail, WorkbookTextAndTotals) {
    ASSERT_EQ(mail(Richiesta({"--recipient", "a@b.it", "--format", "xlsx", "--from", "101", "--to",
                              "103", "--date", "17/03/2026"}))
                  .stato,
              kEseguito);
    ASSERT_EQ(mail(Richiesta({"--recipient", "a@b.it", "--format", "text"})).stato, kEseguito);
    ASSERT_EQ(mail(Richiesta({"--recipient", "a@b.it", "--format=totals"})).stato, kEseguito);
    ASSERT_EQ(server_.messaggi().size(), 3u);

    const test::PostaLetta foglio = server_.leggi(0);
    EXPECT_NE(foglio.intestazioni.at("subject").find("dal 17/03/2026"), std::string::npos);
    ASSERT_EQ(foglio.allegati.size(), 1u);
    EXPECT_EQ(foglio.allegati[0].tipo,
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    EXPECT_TRUE(foglio.allegati[0].nome.ends_with("2026-03-17.xlsx"));
    const std::string celle =
        test::Comando(std::string(TABLEAU_PYTHON) + " '" + TABLEAU_LETTORE_CARTELLA + "' '" +
                      foglio.allegati[0].file.string() + "'");
    EXPECT_NE(celle.find("sheets\tTableau,Dati,Totali"), std::string::npos) << celle;
    EXPECT_NE(celle.find("'Rossi Mario'"), std::string::npos);
    EXPECT_EQ(celle.find("'104'"), std::string::npos) << "rooms 101 to 103 only";
    EXPECT_EQ(Colonne(foglio.righe, "PC"),
              (std::vector<std::string>{"0", "2", "2", "2", "0", "0", "0"}));

    const test::PostaLetta testo = server_.leggi(1);
    ASSERT_EQ(testo.allegati.size(), 1u);
    EXPECT_EQ(testo.allegati[0].tipo, "text/plain");
    EXPECT_EQ(testo.allegati[0].charset, "utf-8");
    EXPECT_TRUE(testo.allegati[0].nome.ends_with("2026-03-16.txt"));
    const std::string chart = test::readFile(testo.allegati[0].file);
    EXPECT_NE(chart.find("\xE2\x94\x82Rossi Mario"), std::string::npos);
    EXPECT_NE(chart.find("G\xC3\xA0lli Ren\xC3\xA9"), std::string::npos);

    const test::PostaLetta totali = server_.leggi(2);
    EXPECT_TRUE(totali.allegati.empty());
    EXPECT_EQ(Colonne(totali.righe, "CC"),
              (std::vector<std::string>{"1", "1", "1", "1", "1", "1", "1"}));
    for (const char* nome : {"Rossi", "Bianchi", "G\xC3\xA0lli", "Gallo", "Agenzia"}) {
        EXPECT_EQ(totali.grezzo.find(nome), std::string::npos) << nome;
    }
}

TEST_F(ProvaComandoMail, TheSettingsGiveWhatTheOptionsDoNot) {
    impostazioni_.destinatari = routines::Impostazione{"a@b.it, c@d.it", "ufficio"};
    impostazioni_.formatoPosta = routines::Impostazione{"totals", "ufficio"};
    impostazioni_.hotelPosta = routines::Impostazione{"1", "ufficio"};
    impostazioni_.tableauPosta = routines::Impostazione{"1", "ufficio"};
    impostazioni_.primaCameraPosta = routines::Impostazione{"102", "ufficio"};
    impostazioni_.ultimaCameraPosta = routines::Impostazione{"103", "ufficio"};
    ASSERT_EQ(mail({}).stato, kEseguito);
    EXPECT_EQ(chart::LeggiFileTableau(fx_.fileTableau()).camere.size(), 2u);
    // The options win.
    ASSERT_EQ(mail({"--recipient", "e@f.it", "--format", "pdf", "--to", "104"}).stato, kEseguito);
    EXPECT_EQ(chart::LeggiFileTableau(fx_.fileTableau()).camere.size(), 3u);

    ASSERT_EQ(server_.messaggi().size(), 2u);
    EXPECT_EQ(server_.leggi(0).destinatariBusta, (std::vector<std::string>{"a@b.it", "c@d.it"}));
    EXPECT_TRUE(server_.leggi(0).allegati.empty());
    EXPECT_EQ(server_.leggi(1).destinatariBusta, std::vector<std::string>{"e@f.it"});
    EXPECT_EQ(server_.leggi(1).allegati.size(), 1u);
}

TEST_F(ProvaComandoMail, RefusedRequestsTouchNothing) {
    fx_.crea();
    const std::string precedente = test::readFile(fx_.fileTableau());
    struct Caso {
        Argomenti argomenti;
        const char* messaggio;
    };
    const Caso casi[] = {
        {Richiesta({"--recipient", "ricevimento"}), "\"ricevimento\" non \xC3\xA8 valido"},
        {Richiesta({"--recipient", "a@b.it", "--recipient", "x@y@z"}), "\"x@y@z\" non"},
        {Richiesta({"--recipient", "a b@c.it"}), "non \xC3\xA8 valido"},
        {Richiesta({}), "nessun destinatario"},
        {Richiesta({"--recipient", "a@b.it", "--format", "csv"}),
         "--format deve essere pdf, xlsx, text o totals (indicato: \"csv\")"},
        {{"--recipient", "a@b.it", "--tableau", "1"}, "manca l'opzione --hotel"},
        {Richiesta({"--recipient", "a@b.it", "--date", "31/02/2026"}),
         "La data deve essere inserita nel formato gg/mm/aaaa"},
        {Richiesta({"--recipient", "a@b.it", "--from", "9", "--to", "10"}),
         "Controllare l'intervallo di camere richiesto!"},
        {Richiesta({"--recipient", "a@b.it", "--colore", "rosso"}), "opzione sconosciuta"},
        {Richiesta({"--recipient", "a@b.it", "--hotel", "2"}), "indicata pi\xC3\xB9 volte"},
        {{"--recipient", "a@b.it", "--hotel", "9", "--tableau", "1"},
         "l'albergo 9 non esiste. Alberghi: 1 Hotel Bellavista"},
        {{"--recipient", "a@b.it", "--hotel", "1", "--tableau", "9"},
         "il tableau 9 dell'albergo 1 non esiste"},
        {Richiesta({"--recipient", "a@b.it", "--from", "1", "--to", "10"}), "le camere vanno da"},
    };
    for (const Caso& caso : casi) {
        const auto esito = mail(caso.argomenti);
        EXPECT_EQ(esito.stato, kRifiutato) << caso.messaggio;
        EXPECT_NE(esito.err.find(caso.messaggio), std::string::npos) << esito.err;
        EXPECT_EQ(esito.out, "");
    }
    EXPECT_EQ(test::readFile(fx_.fileTableau()), precedente);
    EXPECT_TRUE(server_.messaggi().empty());
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.pdf"));

    impostazioni_.destinatari = routines::Impostazione{"a@b.it, sbagliato", "ufficio"};
    EXPECT_EQ(mail(Richiesta({})).stato, kRifiutato);
    impostazioni_.destinatari.reset();
    impostazioni_.mittente = routines::Impostazione{"tableau", "ufficio"};
    EXPECT_EQ(mail(Richiesta({"--recipient", "a@b.it"})).stato, kRifiutato);
    EXPECT_EQ(test::readFile(fx_.fileTableau()), precedente);
}

TEST_F(ProvaComandoMail, SendmailMissingOrFailingIsReportedAndLogged) {
    test::TempDir altrove;
    test::PresaRegistro registro(altrove / "log");
    const auto argomenti = Richiesta({"--recipient", "a@b.it", "--format", "totals"});

    impostazioni_.sendmail = routines::Impostazione{(altrove / "sendmail").string() + " -t", "p"};
    auto esito = mail(argomenti);
    EXPECT_EQ(esito.stato, kFallito);
    EXPECT_NE(esito.err.find("tableau mail: Impossibile avviare il programma di posta " +
                             (altrove / "sendmail").string()),
              std::string::npos)
        << esito.err;
    EXPECT_NE(registro.ricevi().find("tableau scritto"), std::string::npos);
    std::string riga = registro.ricevi();
    EXPECT_NE(riga.find("tableau non inviato per posta (1 destinatario, albergo 1 Hotel "
                        "Bellavista, tableau 1, formato totals)"),
              std::string::npos)
        << riga;

    impostazioni_.sendmail =
        routines::Impostazione{test::SendmailCheFallisce(altrove, 75).string(), "p"};
    esito = mail(argomenti);
    EXPECT_EQ(esito.stato, kFallito);
    EXPECT_NE(esito.err.find("\xC3\xA8 terminato con il codice 75: messaggio non inviato"),
              std::string::npos)
        << esito.err;
    registro.ricevi();
    riga = registro.ricevi();
    EXPECT_NE(riga.find("codice 75"), std::string::npos) << riga;
    EXPECT_EQ(riga.find("Rossi"), std::string::npos);

    impostazioni_.sendmail = routines::Impostazione{server_.sendmail().string(), "p"};
    ASSERT_EQ(mail(argomenti).stato, kEseguito);
    registro.ricevi();
    riga = registro.ricevi();
    EXPECT_NE(riga.find("tableau inviato per posta: 1 destinatario, albergo 1 Hotel Bellavista"),
              std::string::npos)
        << riga;
    EXPECT_EQ(mail(Richiesta({"--recipient", "ricevimento"})).stato, kRifiutato);
    EXPECT_NE(registro.ricevi().find("tableau non inviato per posta"), std::string::npos);
}

// As the timer's service runs it: the executable without arguments, everything from the
// user's settings file, workstation "mail", today's week.
TEST_F(ProvaComandoMail, TheTimersRunNeedsNoArguments) {
    const test::Altrove configurazione;
    fs::create_directories(configurazione / "tableau");
    test::writeFile(configurazione / "tableau" / "tableau.conf",
                    "cartella = " + fx_.dir().string() +
                        "\nsendmail = " + server_.sendmail().string() +
                        "\nmittente = tableau@hotel-bellavista.it\nmail.recipients = a@b.it, "
                        "c@d.it\nmail.format = text\nmail.hotel = 1\nmail.tableau = 1\n");
    const test::ScopedEnv postazione("PCLocal", "mail");
    routines::ChildProcess tableau(routines::ChildOptions{.argv = {TABLEAU_EXECUTABLE, "mail"},
                                                          .output = routines::ChildOutput::Pipe,
                                                          .errors = routines::ChildOutput::Merged});
    const auto stato = tableau.finish();
    ASSERT_TRUE(stato.success()) << tableau.output();
    EXPECT_EQ(tableau.output(), "Tableau inviato per posta a 2 destinatari.\n");
    EXPECT_TRUE(fs::exists(fx_.dir() / "FDmail"));
    EXPECT_FALSE(fs::exists(fx_.dir() / "FD7")) << "no desk's chart file replaced";

    ASSERT_EQ(server_.messaggi().size(), 1u);
    const test::PostaLetta posta = server_.leggi(0);
    EXPECT_EQ(posta.destinatariBusta, (std::vector<std::string>{"a@b.it", "c@d.it"}));
    const chart::TableauLetto tableauLetto = chart::LeggiFileTableau(fx_.dir() / "FDmail");
    EXPECT_TRUE(posta.intestazioni.at("subject").ends_with("dal " + tableauLetto.dataInizio));
    EXPECT_EQ(Colonne(posta.righe, "CC"), Testi(tableauLetto.totaleCC));
    ASSERT_EQ(posta.allegati.size(), 1u);
    EXPECT_EQ(posta.allegati[0].tipo, "text/plain");

    // tableau check says where the mail's settings came from.
    routines::ChildProcess controllo(routines::ChildOptions{.argv = {TABLEAU_EXECUTABLE, "check"},
                                                            .output = routines::ChildOutput::Pipe});
    controllo.finish();
    EXPECT_NE(controllo.output().find("Posta, mail.recipients: a@b.it, c@d.it (da " +
                                      (configurazione / "tableau" / "tableau.conf").string() + ")"),
              std::string::npos)
        << controllo.output();
}

// The text's sections of a whole hotel: each title line ("Tableau 2 Secondo piano (3
// camere):", "Tutto l'albergo (9 camere):") with the lines below it, up to a blank line.
std::map<std::string, std::vector<std::string>> Sezioni(const std::vector<std::string>& righe) {
    std::map<std::string, std::vector<std::string>> sezioni;
    std::vector<std::string>* corrente = nullptr;
    for (const std::string& riga : righe) {
        if (riga.ends_with("):") &&
            (riga.starts_with("Tableau ") || riga.starts_with("Tutto l'albergo"))) {
            corrente = &sezioni[riga.substr(0, riga.find(" ("))];
        } else if (riga.empty()) {
            corrente = nullptr;
        } else if (corrente != nullptr) {
            corrente->push_back(riga);
        }
    }
    return sezioni;
}

TEST_F(ProvaComandoMail, TheWholeHotelEveryBlockAndTheirSums) {
    test::ChartFixture albergo;
    const auto soggiorni = test::AlbergoDiEsempio(albergo);
    const test::PostazioneDiProva postazione{albergo.dir(), "7"};
    impostazioni_.destinatari = routines::Impostazione{"cucina@hotel-bellavista.it", "ufficio"};
    impostazioni_.hotelPosta = routines::Impostazione{"1", "ufficio"};
    impostazioni_.tableauPosta = routines::Impostazione{"", "ufficio"};  // the whole hotel
    const auto esito =
        test::EseguiComando(postazione, "mail", {"--date", "16/03/2026"}, impostazioni_, orologio_);
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_FALSE(fs::exists(albergo.fileTableau())) << "no chart file for the whole hotel";

    ASSERT_EQ(server_.messaggi().size(), 1u);
    const test::PostaLetta posta = server_.leggi(0);
    EXPECT_EQ(posta.intestazioni.at("subject"),
              "Tableau Hotel Bellavista \xE2\x80\x93 tutto l'albergo \xE2\x80\x93 dal "
              "16/03/2026");
    ASSERT_EQ(posta.allegati.size(), 1u);
    EXPECT_EQ(posta.allegati[0].nome,
              "Tableau Hotel Bellavista - tutto l'albergo - 2026-03-16.pdf");
    const std::string pdf =
        test::Comando("pdftotext -layout '" + posta.allegati[0].file.string() + "' -");
    EXPECT_NE(pdf.find("Tableau: Secondo piano"), std::string::npos);
    EXPECT_NE(pdf.find("Pagina 4 di 4"), std::string::npos);

    const auto sezioni = Sezioni(posta.righe);
    const std::vector<std::string> blocchi = {"Tableau 1 Primo piano", "Tableau 2 Secondo piano",
                                              "Tableau 3 D\xC3\xA9pendance"};
    ASSERT_EQ(sezioni.size(), 4u);
    const std::vector<std::string>& hotel = sezioni.at("Tutto l'albergo");
    for (const std::string etichetta :
         {"CC", "MP", "PC", "Arrivi (camere)", "Arrivi (persone)", "Partenze (camere)",
          "Partenze (persone)", "Camere occupate", "Camere libere", "Persone"}) {
        std::vector<long> somma(7, 0);
        for (std::size_t b = 0; b < blocchi.size(); ++b) {
            const auto valori = Colonne(sezioni.at(blocchi[b]), etichetta);
            ASSERT_EQ(valori.size(), 7u) << blocchi[b] << " " << etichetta;
            for (std::size_t g = 0; g < 7; ++g) {
                somma[g] += std::stol(valori[g]);
                // The departures of the day: the stays the tables hold that end that day.
                long partenze = 0;
                long persone = 0;
                for (const test::SoggiornoDiEsempio& s : soggiorni) {
                    if (s.tableau == static_cast<int>(b) + 1 && s.partenza == static_cast<int>(g) &&
                        s.contato) {
                        ++partenze;
                        persone += s.persone;
                    }
                }
                if (etichetta == std::string("Partenze (camere)")) {
                    EXPECT_EQ(std::stol(valori[g]), partenze) << blocchi[b] << " day " << g;
                } else if (etichetta == std::string("Partenze (persone)")) {
                    EXPECT_EQ(std::stol(valori[g]), persone) << blocchi[b] << " day " << g;
                }
            }
        }
        std::vector<std::string> attese;
        for (const long n : somma) {
            attese.push_back(std::to_string(n));
        }
        EXPECT_EQ(Colonne(hotel, etichetta), attese) << etichetta;
    }
    // Each code with its class; the one of none said so.
    const auto codice = [&](const std::string& sigla) {
        for (const std::string& riga : posta.righe) {
            if (riga.starts_with("  " + sigla + " ")) {
                return riga.substr(riga.find_first_not_of(' ', sigla.size() + 2));
            }
        }
        return std::string();
    };
    EXPECT_EQ(codice("HB"), "MP");
    EXPECT_EQ(codice("BB"), "CC");
    EXPECT_EQ(codice("SO"), "nessuna classe: non contato nei totali CC, MP e PC");
    EXPECT_NE(posta.grezzo.find("Camere dell'albergo: 9."), std::string::npos);
    for (const char* nome : {"Verdi", "Neri", "Dell'Orto", "Universit"}) {
        EXPECT_EQ(posta.grezzo.find(nome), std::string::npos) << nome;
    }

    // An unknown hotel is refused before anything is made, naming it.
    const auto rifiutata = test::EseguiComando(
        postazione, "mail", {"--hotel", "5", "--date", "16/03/2026"}, impostazioni_, orologio_);
    EXPECT_EQ(rifiutata.stato, kRifiutato);
    EXPECT_NE(rifiutata.err.find("l'albergo 5 non esiste. Alberghi: 1 Hotel Bellavista."),
              std::string::npos)
        << rifiutata.err;
    EXPECT_EQ(server_.messaggi().size(), 1u);
}

TEST_F(ProvaComandoMail, TheWholeHotelAsTextHoldsEveryBlocksChart) {
    test::ChartFixture albergo;
    test::AlbergoDiEsempio(albergo);
    const test::PostazioneDiProva postazione{albergo.dir(), "7"};
    const auto esito = test::EseguiComando(
        postazione, "mail",
        {"--recipient", "piani@hotel-bellavista.it", "--hotel", "1", "--format", "text"},
        impostazioni_, orologio_);
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    const test::PostaLetta posta = server_.leggi(0);
    ASSERT_EQ(posta.allegati.size(), 1u);
    const std::string testo = test::readFile(posta.allegati[0].file);
    for (const char* blocco : {"Primo piano dal 16/03/2026", "Secondo piano dal 16/03/2026",
                               "D\xC3\xA9pendance dal 16/03/2026"}) {
        EXPECT_NE(testo.find(blocco), std::string::npos) << blocco << testo;
    }
    EXPECT_NE(testo.find("Universit\xC3\xA0 degl"), std::string::npos) << "as the chart shows it";
}

TEST(UsoMail, HelpNamesTheCommand) {
    const auto esito = test::EseguiRiga({"--help"});
    EXPECT_EQ(esito.stato, kEseguito);
    EXPECT_NE(esito.out.find("mail [--recipient INDIRIZZO ...] [--format FORMATO]"),
              std::string::npos);
    EXPECT_NE(esito.out.find("mail.recipients"), std::string::npos);
}

}  // namespace
}  // namespace tableau::app
