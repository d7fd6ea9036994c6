// tableau pdf and tableau xlsx, run in-process in a data directory, without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/cli_commands.h"
#include "chart/chart_fixture.h"
#include "support/command_runner.h"
#include "support/cups_support.h"

namespace tableau::app {
namespace {

namespace fs = std::filesystem;

class ComandiEsportazione : public ::testing::Test {
  protected:
    ComandiEsportazione() { test::SettimanaDiEsempio(fx_); }

    // tableau pdf or tableau xlsx, which take the same parameters.
    using Comando = const char*;

    test::EsitoComando esegui(Comando comando, const Argomenti& argomenti) {
        return test::EseguiComando(postazione_, comando, argomenti);
    }

    static std::string TestoPdf(const fs::path& pdf) {
        return test::Comando("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null");
    }

    test::ChartFixture fx_;  // PCLocal = 7
    test::PostazioneDiProva postazione_{fx_.dir(), "7"};
    test::SenzaDisplay cron_;
};

TEST_F(ComandiEsportazione, PdfFromTheChartFile) {
    auto esito = esegui("pdf", {});
    EXPECT_EQ(esito.stato, kFallito) << "no chart file yet";
    EXPECT_NE(esito.err.find("tableau pdf: File del tableau FD7 non trovato"), std::string::npos)
        << esito.err;

    fx_.crea();
    esito = esegui("pdf", {});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "PDF salvato in fd7.pdf.\n");
    EXPECT_NE(TestoPdf(fx_.dir() / "fd7.pdf").find("Rossi Mario"), std::string::npos);

    fs::create_directory(fx_.dir() / "stampe");
    esito = esegui("pdf", {"--a3", "--output", "stampe/settimana.pdf"});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "PDF salvato in stampe/settimana.pdf.\n");
    const std::string info =
        test::Comando("pdfinfo '" + (fx_.dir() / "stampe" / "settimana.pdf").string() + "'");
    EXPECT_NE(info.find("(A3)"), std::string::npos) << info;
    EXPECT_EQ(esegui("pdf", {"--output=altro.pdf"}).stato, kEseguito);
    EXPECT_TRUE(fs::exists(fx_.dir() / "altro.pdf"));
}

TEST_F(ComandiEsportazione, XlsxFromTheChartFile) {
    fx_.crea();
    auto esito = esegui("xlsx", {});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_EQ(esito.out, "Foglio di calcolo salvato in fd7.xlsx.\n");
    EXPECT_EQ(test::readFile(fx_.dir() / "fd7.xlsx").substr(0, 2), "PK");
    esito = esegui("xlsx", {"--output", "settimana.xlsx"});
    EXPECT_EQ(esito.out, "Foglio di calcolo salvato in settimana.xlsx.\n");
    EXPECT_TRUE(fs::exists(fx_.dir() / "settimana.xlsx"));
}

TEST_F(ComandiEsportazione, RefusedArgumentsAndDamagedCharts) {
    struct Caso {
        Comando comando;
        Argomenti argomenti;
        const char* messaggio;
    };
    const Caso casi[] = {
        {"pdf", {"--a4"}, "tableau pdf: opzione sconosciuta \"--a4\""},
        {"pdf", {"--output"}, "tableau pdf: manca il valore dell'opzione --output."},
        {"pdf", {"--output="}, "tableau pdf: --output non pu\xC3\xB2 essere vuoto."},
        {"pdf",
         {"--output", "a.pdf", "--output", "b.pdf"},
         "--output \xC3\xA8 indicata pi\xC3\xB9 volte"},
        {"pdf", {"--output", ""}, "tableau pdf: --output non pu\xC3\xB2 essere vuoto."},
        {"csv", {"settimana.csv"}, "tableau csv: argomento non previsto \"settimana.csv\""},
        {"xlsx", {"--a3"}, "tableau xlsx: opzione sconosciuta \"--a3\""},
    };
    for (const Caso& caso : casi) {
        const auto esito = esegui(caso.comando, caso.argomenti);
        EXPECT_EQ(esito.stato, kRifiutato) << caso.messaggio;
        EXPECT_NE(esito.err.find(caso.messaggio), std::string::npos) << esito.err;
        EXPECT_EQ(esito.out, "");
    }

    fx_.crea();
    test::writeFile(fx_.fileTableau(), test::readFile(fx_.fileTableau()) + "Firma\r\n");
    for (const char* comando : {"pdf", "xlsx"}) {
        const auto esito = esegui(comando, {});
        EXPECT_EQ(esito.stato, kFallito);
        EXPECT_NE(esito.err.find("non segue pi\xC3\xB9 lo schema del tableau alla riga 30"),
                  std::string::npos)
            << esito.err;
    }
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.pdf"));
    EXPECT_FALSE(fs::exists(fx_.dir() / "fd7.xlsx"));
}

TEST(Uso, HelpNamesTheTwoOutputs) {
    const auto esito = test::EseguiRiga({"--help"});
    EXPECT_EQ(esito.stato, kEseguito);
    EXPECT_NE(esito.out.find("pdf [--output FILE] [--a3]"), std::string::npos);
    EXPECT_NE(esito.out.find("xlsx [--output FILE]"), std::string::npos);
}

}  // namespace
}  // namespace tableau::app
