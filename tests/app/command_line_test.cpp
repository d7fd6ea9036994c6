// The command line as a whole: every fault of a line refused with exit status 2 and one
// Italian message naming the option; the help listing every command with its options; the
// names scripts already use for the options; numbers and dates checked before any command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli_commands.h"
#include "export/qt/format_table.h"
#include "routines/settings.h"
#include "support/command_runner.h"
#include "support/hotel_fixture.h"

namespace tableau::app {
namespace {

// Words of the parser's own English texts: none may reach the user.
void SenzaInglese(const std::string& testo, const std::string& caso) {
    for (const char* parola :
         {"required",    "Required",    "REQUIRED",  "argument",   "expected",    "Expected",
          "convert",     "allowed",     "requires",  "excludes",   "flag",        "At Most",
          "At least",    "missing",     "OPTIONS",   "SUBCOMMAND", "Usage",       "Options",
          "Subcommands", "Positionals", "not found", "Error",      "help message"}) {
        EXPECT_EQ(testo.find(parola), std::string::npos) << caso << ": \"" << parola << "\" in\n"
                                                         << testo;
    }
}

std::string ComeScritta(const Argomenti& argomenti) {
    std::string caso = "tableau";
    for (const std::string& a : argomenti) {
        caso += " " + a;
    }
    return caso;
}

const Argomenti kRichiesta{"--hotel", "1", "--tableau", "1", "--date", "16/03/2026"};

Argomenti Chart(Argomenti altri) {
    Argomenti riga{"chart"};
    riga.insert(riga.end(), kRichiesta.begin(), kRichiesta.end());
    riga.insert(riga.end(), altri.begin(), altri.end());
    return riga;
}

TEST(RigaDiComando, EveryKindOfFaultIsRefusedWithTwoAndAnItalianMessageNamingTheOption) {
    struct Caso {
        Argomenti riga;
        std::string messaggio;
    };
    const std::vector<Caso> casi = {
        // A required option missing.
        {{"chart", "--tableau", "1", "--date", "16/03/2026"},
         "tableau chart: manca l'opzione --hotel.\nUso: tableau chart --hotel H --tableau T "
         "[--from PRIMA] [--to ULTIMA] --date GG/MM/AAAA\nUsare tableau chart --help.\n"},
        {{"print", "--landscape"}, "tableau print: manca l'opzione --destination."},
        // What the line cannot place: an unknown option (before a missing one), an argument,
        // a command.
        {Chart({"--colore", "rosso"}), "tableau chart: opzione sconosciuta \"--colore\"."},
        {{"chart", "--hotle=1"}, "tableau chart: opzione sconosciuta \"--hotle\"."},
        {{"csv", "fd1.csv"}, "tableau csv: argomento non previsto \"fd1.csv\"."},
        {{"xlsx", "--a3"}, "tableau xlsx: opzione sconosciuta \"--a3\"."},
        {{"check", "--extra"}, "tableau check: opzione sconosciuta \"--extra\"."},
        {{"stampa"}, "tableau: comando sconosciuto \"stampa\". Usare tableau --help.\n"},
        {{"--colore", "check"}, ": opzione sconosciuta \"--colore\"."},
        // A value that fails its check: a number, its range, a date, a format, an empty file.
        {{"list", "--hotel", "x"},
         "tableau list: --hotel deve essere un numero intero tra -32768 e 32767 (indicato: "
         "\"x\")."},
        {{"print", "--destination", "Laser", "--hotel", "1.5"}, "tableau print: --hotel deve"},
        {Chart({"--tableau", "2"}), "tableau chart: l'opzione --tableau \xC3\xA8 indicata pi"},
        {{"mail", "--date", "16/3/2026"},
         "tableau mail: --date deve essere una data GG/MM/AAAA (indicato: \"16/3/2026\")."},
        {{"mail", "--format", "csv"},
         "tableau mail: --format deve essere pdf, xlsx, text o totals (indicato: \"csv\")."},
        {{"pdf", "--output", ""}, "tableau pdf: --output non pu\xC3\xB2 essere vuoto."},
        {{"sync", "--storico", "0"},
         "tableau sync: --history (o --storico) deve essere un numero intero tra 1 e 9999"},
        // A value missing, an option repeated (under either name), a value to a switch.
        {{"pdf", "--output"}, "tableau pdf: manca il valore dell'opzione --output."},
        {{"-C"}, "tableau: manca il valore dell'opzione --data-dir (o -C, --cartella)."},
        {{"check", "--schema"}, "tableau check: manca il valore dell'opzione --schema."},
        {{"sync", "--force", "--force"},
         "tableau sync: l'opzione --force \xC3\xA8 indicata pi\xC3\xB9 volte."},
        {{"sync", "--history", "6", "--storico", "7"},
         "tableau sync: l'opzione --history (o --storico) \xC3\xA8 indicata pi\xC3\xB9 volte."},
        {{"-C", "/a", "check", "--cartella", "/b"},
         "--data-dir (o -C, --cartella) \xC3\xA8 indicata"},
        {{"sync", "--force=si"}, "tableau sync: l'opzione --force non vuole un valore."},
        // The request of pdf and xlsx: any of its options asks for the hotel and the date;
        // the formats without one do not know them.
        {{"pdf", "--tableau", "1", "--date", "16/03/2026"},
         "tableau pdf: manca l'opzione --hotel.\nUso: tableau pdf [--output FILE] [--a3] "
         "[--hotel H]"},
        {{"xlsx", "--from", "101"}, "tableau xlsx: manca l'opzione --hotel."},
        {{"xlsx", "--hotel", "1", "--output", "a.xlsx"}, "tableau xlsx: manca l'opzione --date."},
        {{"pdf", "--hotel", "1", "--date", "16/3/2026"},
         "tableau pdf: --date deve essere una data"},
        {{"csv", "--hotel", "1"}, "tableau csv: opzione sconosciuta \"--hotel\"."},
        {{"text", "--date", "16/03/2026"}, "tableau text: opzione sconosciuta \"--date\"."},
        // The web view: its address checked as INDIRIZZO:PORTA, its switch; the users' command
        // of commands, with its own command and the user's name.
        {{"serve", "--listen", "localhost:80"},
         "tableau serve: --listen deve essere INDIRIZZO:PORTA, con un indirizzo numerico "
         "(127.0.0.1:8080, [::1]:8080; indicato: \"localhost:80\")."},
        {{"serve", "--listen=127.0.0.1"}, "tableau serve: --listen deve essere INDIRIZZO:PORTA"},
        {{"serve", "--listen", "127.0.0.1:65536"}, "tableau serve: --listen deve essere"},
        {{"serve", "--insecure=si"}, "tableau serve: l'opzione --insecure non vuole un valore."},
        {{"serve", "8080"}, "tableau serve: argomento non previsto \"8080\"."},
        {{"user"},
         "tableau user: manca il comando (add, remove).\nUso: tableau user {add|remove} "
         "[OPZIONI]\nUsare tableau user --help.\n"},
        {{"user", "cancella", "portiere"}, "tableau user: comando sconosciuto \"cancella\"."},
        {{"user", "add"},
         "tableau user add: manca l'argomento NOME.\nUso: tableau user add NOME\nUsare tableau "
         "user add --help.\n"},
        {{"user", "remove", "portiere", "altro"},
         "tableau user remove: argomento non previsto \"altro\"."},
        {{"user", "add", "portiere", "--force"},
         "tableau user add: opzione sconosciuta \"--force\"."},
        // An option that needs another.
        {{"list", "--tableau", "1"},
         "tableau list: l'opzione --tableau va indicata con --hotel.\nUso: tableau list "
         "[--hotel H] [--tableau T]\n"},
    };
    for (const Caso& caso : casi) {
        const auto esito = test::EseguiRiga(caso.riga);
        EXPECT_EQ(esito.stato, kRifiutato) << ComeScritta(caso.riga) << '\n' << esito.err;
        EXPECT_NE(esito.err.find(caso.messaggio), std::string::npos)
            << ComeScritta(caso.riga) << '\n'
            << esito.err;
        EXPECT_EQ(esito.out, "") << ComeScritta(caso.riga);
        SenzaInglese(esito.err, ComeScritta(caso.riga));
    }
}

TEST(RigaDiComando, NumbersAndDatesAreCheckedAtTheirBounds) {
    test::HotelFixture fx;
    fx.hotel(10, "Decimo");
    fx.hotel(32767, "Ultimo");
    const std::string dati = fx.dir().string();
    // Decimal, whatever the leading zeros: "010" is hotel 10, not an octal 8.
    auto esito = test::EseguiRiga({"list", "-C", dati, "--hotel", "010"});
    EXPECT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_NE(esito.out.find("Albergo 10 Decimo"), std::string::npos) << esito.out;
    esito = test::EseguiRiga({"list", "-C", dati, "--hotel=32767"});
    EXPECT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_NE(esito.out.find("Albergo 32767 Ultimo"), std::string::npos) << esito.out;
    // Past the 16 bits, refused by the line naming the option; inside them, a hotel that is
    // not there is the tables' refusal.
    for (const char* numero : {"32768", "-32769", "99999999999", "0x10", "1e3", ""}) {
        esito = test::EseguiRiga({"list", "-C", dati, "--hotel", numero});
        EXPECT_EQ(esito.stato, kRifiutato) << numero;
        EXPECT_NE(esito.err.find("--hotel deve essere un numero intero tra -32768 e 32767"),
                  std::string::npos)
            << numero << ": " << esito.err;
    }
    esito = test::EseguiRiga({"list", "-C", dati, "--hotel", "-32768"});
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("l'albergo -32768 non esiste"), std::string::npos) << esito.err;

    // A date not in the form GG/MM/AAAA is the line's refusal; a day that does not exist is
    // the request window's, after the room range, in its words.
    for (const char* data : {"16/3/2026", "2026-03-16", "oggi", "160326", ""}) {
        esito = test::EseguiRiga(
            {"chart", "-C", dati, "--hotel", "10", "--tableau", "1", "--date", data});
        EXPECT_EQ(esito.stato, kRifiutato) << data;
        EXPECT_NE(esito.err.find("tableau chart: --date deve essere una data GG/MM/AAAA"),
                  std::string::npos)
            << data << ": " << esito.err;
    }
    esito = test::EseguiRiga(
        {"chart", "-C", dati, "--hotel", "10", "--tableau", "1", "--date", "31/02/2026"});
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("nel formato gg/mm/aaaa"), std::string::npos) << esito.err;
    EXPECT_EQ(esito.err.find("--date"), std::string::npos) << esito.err;
}

TEST(RigaDiComando, TheNamesScriptsUseKeepWorking) {
    test::HotelFixture fx;
    fx.hotel(1, "Sole");
    const std::string dati = fx.dir().string();
    // The data directory under each of its names, before or after the command.
    for (const Argomenti& riga :
         {Argomenti{"-C", dati, "list"}, Argomenti{"list", "-C", dati},
          Argomenti{"-C" + dati, "list"}, Argomenti{"--data-dir", dati, "list"},
          Argomenti{"list", "--data-dir=" + dati}, Argomenti{"--cartella", dati, "list"},
          Argomenti{"list", "--cartella=" + dati},
          Argomenti{"list", "--hotel", "1", "--cartella", dati, "--server", ""},
          Argomenti{"--server=", "list", "-C", dati}}) {
        const auto esito = test::EseguiRiga(riga);
        EXPECT_EQ(esito.stato, kEseguito) << ComeScritta(riga) << '\n' << esito.err;
        EXPECT_NE(esito.out.find("Albergo 1 Sole"), std::string::npos) << ComeScritta(riga);
    }
    // The schema after the command; --history and --storico are the same option (a sync
    // without a server is refused after its options are read).
    for (const Argomenti& riga :
         {Argomenti{"sync", "-C", dati, "--schema", "roma", "--history", "6", "--force"},
          Argomenti{"sync", "--storico=6", "--cartella", dati},
          Argomenti{"--schema=roma", "sync", "--storico", "6", "-C", dati}}) {
        const auto esito = test::EseguiRiga(riga);
        EXPECT_EQ(esito.stato, kRifiutato) << ComeScritta(riga);
        EXPECT_NE(esito.err.find("tableau sync: manca il server"), std::string::npos)
            << ComeScritta(riga) << '\n'
            << esito.err;
    }
}

TEST(RigaDiComando, TheHelpListsEveryCommandWithItsOptions) {
    const auto aiuto = test::EseguiRiga({"--help"});
    ASSERT_EQ(aiuto.stato, kEseguito);
    EXPECT_TRUE(aiuto.out.starts_with("Uso: tableau [OPZIONI] [COMANDO [OPZIONI]]\n")) << aiuto.out;
    SenzaInglese(aiuto.out, "tableau --help");
    EXPECT_EQ(test::EseguiRiga({"help"}).out, aiuto.out);
    EXPECT_EQ(test::EseguiRiga({"-C", "/non/esiste", "-h"}).out, aiuto.out);
    // Without a command the line says how it is used, and refuses.
    const auto vuota = test::EseguiRiga({});
    EXPECT_EQ(vuota.stato, kRifiutato);
    EXPECT_EQ(vuota.err, aiuto.out);

    // Each command with its synopsis, its description below.
    std::vector<std::pair<std::string, std::string>> comandi = {
        {"chart", "chart --hotel H --tableau T [--from PRIMA] [--to ULTIMA] --date GG/MM/AAAA\n"},
        {"mail", "mail [--recipient INDIRIZZO ...] [--format FORMATO] [--hotel H] [--tableau T]"},
        {"print", "print [--destination NOME] [--printer NOME] [--hotel H] [--normal]"},
        {"list", "list [--hotel H] [--tableau T]\n"},
        {"check", "check\n"},
        {"sync", "sync [--history MESI] [--force]\n"},
        {"serve", "serve [--listen INDIRIZZO:PORTA] [--insecure]\n"},
        {"user", "user {add|remove} [OPZIONI]\n"},
        {"help", "help\n"},
    };
    for (const exports::FormatoUscita* formato : exports::FormatiUscita()) {
        comandi.emplace_back(std::string(formato->nome),
                             std::string(formato->nome) +
                                 (formato->conUscita ? " [--output FILE]" : "") +
                                 (formato->conCarta ? " [--a3]" : "") +
                                 (formato->conRichiesta ? " [--hotel H] [--tableau T]" : "\n"));
    }
    for (const auto& [nome, sinossi] : comandi) {
        EXPECT_NE(aiuto.out.find("\n  " + sinossi), std::string::npos) << nome;
    }
    // The general options with every name, the settings, the tuning variables, the exit
    // statuses.
    for (const std::string testo :
         {"\n  -C, --data-dir, --cartella CARTELLA\n", "\n  --server CONNESSIONE ",
          "\n  --schema NOME ", "\n  -h, --help ", "/etc/tableau.conf", "TABLEAU_SERVER",
          "Codici di uscita: 0 eseguito, 1 errore"}) {
        EXPECT_NE(aiuto.out.find(testo), std::string::npos) << testo;
    }
    for (const routines::Regolazione& regolazione : routines::Regolazioni()) {
        EXPECT_NE(aiuto.out.find("\n  " + std::string(regolazione.nome)), std::string::npos)
            << regolazione.nome;
    }

    // Each command's own help: its usage, then each option with its values and its rule.
    const std::vector<std::pair<std::string, std::vector<std::string>>> opzioni = {
        {"chart",
         {"--hotel H ", "--tableau T ", "--from PRIMA ", "--to ULTIMA ", "--date GG/MM/AAAA ",
          "(obbligatoria)", "da -32768 a 32767"}},
        {"pdf",
         {"--output FILE ", "--a3 ", "--hotel H ", "--tableau T ", "--from PRIMA ", "--to ULTIMA ",
          "--date GG/MM/AAAA ", "tutto l'albergo"}},
        {"xlsx", {"--output FILE ", "--hotel H ", "--tableau T ", "tutto l'albergo"}},
        {"mail",
         {"--recipient INDIRIZZO ", "--format FORMATO ", "pdf, xlsx, text o totals", "--date "}},
        {"print",
         {"--destination NOME ", "--printer NOME ", "--normal ", "--landscape ", "--duplex ",
          "--list "}},
        {"list", {"--hotel H ", "--tableau T ", "(richiede --hotel)"}},
        {"sync", {"--history, --storico MESI\n", "--force ", "da 1 a 9999"}},
        {"serve", {"--listen INDIRIZZO:PORTA\n", "web.listen", "--insecure "}},
        {"user", {"\n  add NOME\n", "\n  remove NOME\n", "/etc/tableau/utenti"}},
    };
    for (const auto& [comando, attese] : opzioni) {
        for (const char* aiutoChiesto : {"--help", "-h"}) {
            const auto suo = test::EseguiRiga({comando, aiutoChiesto});
            EXPECT_EQ(suo.stato, kEseguito) << comando;
            EXPECT_TRUE(suo.out.starts_with("Uso: tableau " + comando)) << suo.out;
            for (const std::string& attesa : attese) {
                EXPECT_NE(suo.out.find(attesa), std::string::npos)
                    << comando << ": " << attesa << '\n'
                    << suo.out;
            }
            SenzaInglese(suo.out, comando + " --help");
        }
    }
    // A command of a command has its own help, its argument by name.
    for (const std::string comando : {"add", "remove"}) {
        const auto suo = test::EseguiRiga({"user", comando, "--help"});
        EXPECT_EQ(suo.stato, kEseguito) << comando;
        EXPECT_TRUE(suo.out.starts_with("Uso: tableau user " + comando + " NOME\n")) << suo.out;
        EXPECT_NE(suo.out.find("Argomenti:\n  NOME "), std::string::npos) << suo.out;
        SenzaInglese(suo.out, "user " + comando + " --help");
    }
}

}  // namespace
}  // namespace tableau::app
