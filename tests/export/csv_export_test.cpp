#include "export/csv_export.h"

#include <gtest/gtest.h>

#include "print/sample_chart.h"
#include "routines/errors.h"
#include "support/temp_dir.h"
#include "support/workstation.h"

namespace tableau::exports {
namespace {

using test::readFile;
using test::writeFile;

std::string Converti(std::string_view riga, const SeparatoriXLS& s = {}) {
    return ConvertiRigaXLS(riga, s);
}

TEST(ConvertiRigaXLS, WorkedExamples) {
    EXPECT_EQ(Converti("\xB3 Totale 1.234,56 \xB3"),
              ", Totale\x80"
              "1234.56 ,");
    EXPECT_EQ(Converti("Rossi, Mario"), "Rossi  Mario");
    EXPECT_EQ(Converti("-5"), "-5");
    EXPECT_EQ(Converti("a - b"), "a   b");
    EXPECT_EQ(Converti("12,5"), "12 5");
    EXPECT_EQ(Converti("1.000"), "1000");
    EXPECT_EQ(Converti("v.1"), "v.1");
    EXPECT_EQ(Converti(""), "");
}

TEST(ConvertiRigaXLS, BordersRulesAndTheRightEdge) {
    EXPECT_EQ(Converti("\xD9\xC5\xC2\xC3\xC0\xC1\xB3\xBF\xDA|+"), ",,,,,,,,,,,");
    EXPECT_EQ(Converti("\xC4\xC4"), "  ");
    EXPECT_EQ(Converti("a\xB4"
                       "b\xB4"),
              "a b,");
    EXPECT_EQ(Converti("\xCD\xE0"), "\xCD\xE0");  // other bytes copied
}

TEST(ConvertiRigaXLS, ChoicesAtTheLineStartAndWithoutSpace) {
    EXPECT_EQ(Converti(",12"), " 12");    // no digit before a leading comma
    EXPECT_EQ(Converti(".123"), ".123");  // nor before a leading dot
    EXPECT_EQ(Converti("1,23"), "1.23");  // no space yet: only the decimal separator
}

TEST(ConvertiRigaXLS, ConfiguredSeparators) {
    const SeparatoriXLS s{";;", "DEC", ""};
    EXPECT_EQ(Converti("\xB3 x 1,25\xB3", s), ";; x 1DEC25;;");  // empty sign: a space again
    const SeparatoriXLS euro{";", ",", "EUR"};
    EXPECT_EQ(Converti(" 3,50", euro), "E3,50");
}

TEST(LeggiSeparatoriXLS, DefaultsFileAndShortFile) {
    test::TempDir dir;
    const SeparatoriXLS predefiniti = LeggiSeparatoriXLS(dir.path());
    EXPECT_EQ(predefiniti.separatoreCampi, ",");
    EXPECT_EQ(predefiniti.separatoreDecimali, ".");
    EXPECT_EQ(predefiniti.simboloValuta, "\x80");

    writeFile(dir / "separatorexls.TXT", ";\r\n,\r\n$\r\nresto\r\n");
    const SeparatoriXLS letti = LeggiSeparatoriXLS(dir.path());
    EXPECT_EQ(letti.separatoreCampi, ";");
    EXPECT_EQ(letti.separatoreDecimali, ",");
    EXPECT_EQ(letti.simboloValuta, "$");

    writeFile(dir / "separatorexls.TXT", "\t\r\n");
    const SeparatoriXLS corto = LeggiSeparatoriXLS(dir.path());
    EXPECT_EQ(corto.separatoreCampi, "\t");
    EXPECT_EQ(corto.separatoreDecimali, ".");
    EXPECT_EQ(corto.simboloValuta, "\x80");

    writeFile(dir / "separatorexls.TXT", "\r\n\r\n");  // two empty values given
    const SeparatoriXLS vuoti = LeggiSeparatoriXLS(dir.path());
    EXPECT_EQ(vuoti.separatoreCampi, "");
    EXPECT_EQ(vuoti.separatoreDecimali, "");
    EXPECT_EQ(vuoti.simboloValuta, "\x80");

    // The same file saved as UTF-8 by a Linux editor, or as Windows-1252: the same values.
    writeFile(dir / "separatorexls.TXT", ";\n,\n\xE2\x82\xAC\n");
    EXPECT_EQ(LeggiSeparatoriXLS(dir.path()).simboloValuta, "\x80");
    writeFile(dir / "separatorexls.TXT", ";\r\n,\r\n\x80\r\n");
    EXPECT_EQ(LeggiSeparatoriXLS(dir.path()).simboloValuta, "\x80");
}

// A CSV file parsed back into its grid of cells.
std::vector<std::vector<std::string>> Griglia(const std::string& testo, char separatore) {
    std::vector<std::vector<std::string>> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const auto fine = testo.find("\r\n", inizio);
        EXPECT_NE(fine, std::string::npos);
        const std::string riga = testo.substr(inizio, fine - inizio);
        std::vector<std::string> celle(1);
        for (const char c : riga) {
            if (c == separatore) {
                celle.emplace_back();
            } else {
                celle.back() += c;
            }
        }
        righe.push_back(celle);
        inizio = fine + 2;
    }
    return righe;
}

TEST(ConvertiXLS, WholeChartBecomesAGridOfCells) {
    test::TempDir dir;
    test::ScopedEnv postazione("PCLocal", "7");
    const auto righe =
        test::RigheTableauEsempio({{"101", "DOP", 2, "Rossi Mario"}, {"102", "SIN", 1, "Bianchi"}});
    writeFile(dir / "fd7", test::TestoTableau(righe));
    writeFile(dir / "fd7.csv", "vecchio");
    const auto uscita = ConvertiXLS(test::PostazioneDi(dir.path()));
    EXPECT_EQ(uscita.filename(), "fd7.csv");

    const auto griglia = Griglia(readFile(uscita), ',');
    ASSERT_EQ(griglia.size(), righe.size());
    // Title: no separator; every frame line: the room column, 7 day cells and the edge.
    EXPECT_EQ(griglia[0].size(), 1u);
    EXPECT_EQ(griglia[1].size(), 9u);
    EXPECT_EQ(griglia[1][0], "     ");
    EXPECT_EQ(griglia[2].size(), 9u);
    EXPECT_EQ(griglia[2][1], " Luned\xEC          ");
    EXPECT_EQ(griglia[3][7], " 13/12/2026      ");
    EXPECT_EQ(griglia[4].size(), 9u);  // separator line: 180 at the end is a separator
    EXPECT_EQ(griglia[5][0], "101  ");
    EXPECT_EQ(griglia[5][1], " (2)(arrivata)   ");
    EXPECT_EQ(griglia[6][1], "Rossi Mario      ");
    EXPECT_EQ(griglia[7][0], "2    ");
    EXPECT_EQ(griglia[7][1], "Ditta S.p.A.     ");
    EXPECT_EQ(griglia[8][1],
              "MP   \x80"
              "1234.56   ");
    EXPECT_EQ(griglia[10][0], "102  ");
    EXPECT_EQ(griglia[15][1], "CC =     1       ");
    EXPECT_EQ(griglia.back().size(), 9u);
    for (std::size_t i = 2; i + 1 < griglia.size(); ++i) {
        EXPECT_EQ(griglia[i].back(), "") << "line " << i;  // the right edge closes the line
    }
}

TEST(ConvertiXLS, MissingChartAndUnwritableOutputAreReported) {
    test::TempDir dir;
    test::ScopedEnv postazione("PCLocal", "7");
    EXPECT_THROW(ConvertiXLS(test::PostazioneDi(dir.path())), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir / "fd7.csv"));
    writeFile(dir / "FD7", "riga\r\n");
    EXPECT_THROW(Esporta(kFormatoCsv, test::PostazioneDi(dir.path()), "manca/fd7.csv"),
                 routines::Errore);
}

}  // namespace
}  // namespace tableau::exports
