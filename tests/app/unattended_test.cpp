// Nobody watches a timer's run: every command, in every bad environment, ends with a
// message and exit status 1 or 2, never with an abort.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "chart/chart_fixture.h"
#include "support/temp_dir.h"

namespace tableau::app {
namespace {

struct Uscita {
    int stato = -1;
    std::string testo;
};

Uscita Lancia(const std::string& comando) {
    Uscita uscita;
    FILE* flusso = ::popen((comando + " 2>&1 </dev/null").c_str(), "r");
    std::array<char, 512> blocco{};
    while (std::fgets(blocco.data(), blocco.size(), flusso) != nullptr) {
        uscita.testo += blocco.data();
    }
    const int stato = ::pclose(flusso);
    uscita.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
    return uscita;
}

TEST(Incustoditi, EveryCommandInEveryBadEnvironmentEndsWithAMessage) {
    test::ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.crea();
    test::TempDir casa;
    std::filesystem::create_directories(casa / "tableau");
    test::writeFile(casa / "tableau" / "tableau.conf", "");
    std::filesystem::create_directories(casa / "rotta" / "tableau");
    test::writeFile(casa / "rotta" / "tableau" / "tableau.conf", "non una riga valida\n");

    const std::string tableau = TABLEAU_EXECUTABLE;
    const std::string dati = " -C '" + fx.dir().string() + "' ";
    const std::vector<std::string> comandi = {
        "chart --hotel 1 --tableau 1 --from 1 --to 9999 --date 16/03/2026",
        "csv",
        "pdf",
        "xlsx",
        "text",
        "mail --recipient a@b.it --format totals --hotel 1 --tableau 1",
        "mail --recipient a@b.it --format totals --hotel 1",
        "pdf --hotel 1 --date 16/03/2026",
        "xlsx --hotel 1 --tableau 1 --date 16/03/2026",
        "print --destination Nessuna",
        "check",
        "sync",
        "chart --hotel x",
        "sconosciuto",
    };
    const std::string base =
        "env -u TABLEAU_SERVER -u TABLEAU_SCHEMA -u DISPLAY -u "
        "WAYLAND_DISPLAY XDG_CONFIG_HOME='" +
        casa.path().string() + "' ";
    const std::vector<std::string> ambienti = {
        "PCLocal=0/1 ",
        "PCLocal=.. ",
        "PCLocal=7 TABLEAU_CARTELLA=/non/esiste ",
        "PCLocal=7 XDG_CONFIG_HOME='" + (casa / "rotta").string() + "' ",
        "PCLocal=7 TABLEAU_SERVER='host=127.0.0.1 port=1 connect_timeout=2' ",
        "PCLocal=7 TABLEAU_SCHEMA='x;drop' ",
    };
    for (const std::string& ambiente : ambienti) {
        for (const std::string& comando : comandi) {
            const bool cartellaData = ambiente.find("TABLEAU_CARTELLA") == std::string::npos;
            const Uscita uscita = Lancia(base + ambiente + tableau +
                                         (cartellaData ? dati : std::string(" ")) + comando);
            const std::string caso = ambiente + comando + ":\n" + uscita.testo;
            // Without the server the outputs of the chart file still work.
            const bool soloServer =
                ambiente.find("TABLEAU_SERVER") != std::string::npos &&
                (comando == "csv" || comando == "pdf" || comando == "xlsx" || comando == "text");
            if (!soloServer) {
                EXPECT_GE(uscita.stato, 1) << caso;
            }
            EXPECT_LE(uscita.stato, 2) << caso;
            EXPECT_EQ(uscita.testo.find("terminate"), std::string::npos) << caso;
            EXPECT_EQ(uscita.testo.find("Aborted"), std::string::npos) << caso;
            EXPECT_FALSE(uscita.testo.empty()) << caso;
        }
    }
}

// The system's own reasons inside the program's messages are Italian too, whatever the
// locale: the C library's and the server client's.
TEST(Incustoditi, TheSystemsTextsAreItalianWhateverTheLocale) {
    test::ChartFixture fx;
    test::SettimanaDiEsempio(fx);
    fx.crea();
    const std::string tableau =
        std::string(TABLEAU_EXECUTABLE) + " -C '" + fx.dir().string() + "' ";
    for (const std::string locale :
         {"LC_ALL=C", "LC_ALL=POSIX LANGUAGE=en", "LANG=en_US.UTF-8 LC_MESSAGES=C"}) {
        const std::string ambiente =
            "env -u LC_ALL -u LANG -u LANGUAGE -u LC_MESSAGES -u TABLEAU_SERVER PCLocal=7 " +
            locale + " ";
        Uscita uscita = Lancia(ambiente + tableau + "text --output manca/testo.txt");
        EXPECT_EQ(uscita.stato, 1) << uscita.testo;
        EXPECT_NE(uscita.testo.find("File o directory non esistente"), std::string::npos)
            << locale << ": " << uscita.testo;
        uscita = Lancia(ambiente + "TABLEAU_SERVER='host=127.0.0.1 port=1' " + tableau +
                        "chart --hotel 1 --tableau 1 --date 16/03/2026");
        EXPECT_EQ(uscita.stato, 1) << uscita.testo;
        EXPECT_NE(uscita.testo.find("Connessione rifiutata"), std::string::npos)
            << locale << ": " << uscita.testo;
        EXPECT_EQ(uscita.testo.find("refused"), std::string::npos) << uscita.testo;
    }
}

}  // namespace
}  // namespace tableau::app
