// The chart file's layout: frame lines, title, header, room lines and totals.
#include "chart/chart_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart_fixture.h"

namespace tableau::chart {
namespace {

using test::Cella;
using test::ChartFixture;
using test::Pieno;

constexpr std::array<std::size_t, 7> kSeparatori = {6, 24, 42, 60, 78, 96, 114};

// The character at a position counted from 1.
char At(const std::string& riga, std::size_t posizione) {
    return riga.at(posizione - 1);
}

void ControllaTelaio(const std::string& riga, char riempimento, char incrocio, char bordo) {
    ASSERT_EQ(riga.size(), 132u);
    for (std::size_t p = 1; p <= 131; ++p) {
        const bool separatore =
            std::find(kSeparatori.begin(), kSeparatori.end(), p) != kSeparatori.end();
        ASSERT_EQ(At(riga, p), separatore ? incrocio : riempimento) << "position " << p;
    }
    EXPECT_EQ(At(riga, 132), bordo);
}

TEST(ChartLayout, FrameLinesCarryTheGrid) {
    ControllaTelaio(RigaBordoSuperiore(), '\xC4', '\xC2', '\xBF');
    ControllaTelaio(RigaCornice(), ' ', '\xB3', '\xB3');
    ControllaTelaio(RigaSeparatore(), '\xC4', '\xC5', '\xB4');
    ControllaTelaio(RigaBordoInferiore(), '\xC4', '\xC1', '\xD9');
}

TEST(ChartLayout, TitlePositions) {
    const routines::DataOra momento{2026, 3, 4, 7, 5};
    const std::string breve = RigaTitolo("Hotel Sole", "  Primo piano ", "16/03/2026", momento);
    ASSERT_EQ(breve.size(), 132u);
    EXPECT_EQ(breve.substr(0, 19), " Hotel : Hotel Sole");
    EXPECT_EQ(breve.substr(54, 23), " Tableau Tavornelide : ");
    EXPECT_EQ(breve.substr(77, 26), "Primo piano dal 16/03/2026");
    EXPECT_EQ(breve.substr(103, 13), std::string(13, ' '));
    EXPECT_EQ(breve.substr(116), "04/03/2026 07:05");

    // A 45-character name and a 24-character description fill the 116 characters exactly;
    // longer texts are cut so that the date and time keep their place.
    const std::string nome45(45, 'N');
    const std::string pieno = RigaTitolo(nome45, std::string(24, 'D'), "16/03/2026", momento);
    EXPECT_EQ(pieno.substr(0, 116), " Hotel : " + nome45 + " Tableau Tavornelide : " +
                                        std::string(24, 'D') + " dal 16/03/2026");
    const std::string lungo =
        RigaTitolo(nome45 + "XYZ", std::string(60, 'D'), "16/03/2026", momento);
    EXPECT_EQ(lungo.substr(0, 54), " Hotel : " + nome45);
    EXPECT_EQ(lungo.substr(77, 39), std::string(39, 'D'));
    EXPECT_EQ(lungo.substr(116), "04/03/2026 07:05");

    // Hotel not found: no tableau part; tableau not found: no description and no date.
    const std::string senzaHotel = RigaTitolo(std::nullopt, "Primo", "16/03/2026", momento);
    EXPECT_EQ(senzaHotel, " Hotel : " + std::string(107, ' ') + "04/03/2026 07:05");
    const std::string senzaTableau = RigaTitolo("Sole", std::nullopt, "16/03/2026", momento);
    EXPECT_EQ(senzaTableau.substr(0, 77),
              " Hotel : Sole" + std::string(41, ' ') + " Tableau Tavornelide : ");
    EXPECT_EQ(senzaTableau.substr(77, 39), std::string(39, ' '));
}

TEST(ChartLayout, RoomLinesFitTheirPlaces) {
    std::array<CellaGiorno, 7> giorni{};
    giorni[0] = {2, "(arrivata)", "Rossi Mario", "ACME Spa", "MPA", ""};
    giorni[1] = {3,          "(in fermata)", std::string(20, 'n'), std::string(20, 'd'),
                 "ARRANG08", "NOTA-11-CHR"};
    giorni[2] = {12345, "(in fermata)", "", "", std::string(20, 'c'), std::string(15, 'x')};
    giorni[4] = {1, "", "Riga\r\nDue", "\tDitta", "", ""};
    const auto righe = RigheCamera({"  101A", "SUITE-X", "12345"}, giorni);
    for (const auto& riga : righe) {
        ASSERT_EQ(riga.size(), 132u);
        for (const std::size_t p : kSeparatori) {
            EXPECT_EQ(At(riga, p), '\xB3') << "position " << p;
        }
        EXPECT_EQ(At(riga, 132), '\xB3');
    }
    // Room column: number and type cut to 5 then trimmed; beds cut to 4, position 5 blank.
    EXPECT_EQ(righe[0].substr(0, 6), "101  \xB3");
    EXPECT_EQ(righe[1].substr(0, 6), "SUITE\xB3");
    EXPECT_EQ(righe[2].substr(0, 6), "1234 \xB3");
    EXPECT_EQ(righe[3].substr(0, 6), "     \xB3");

    EXPECT_EQ(Cella(righe[0], 0), " (2)(arrivata)   ");
    EXPECT_EQ(Cella(righe[1], 0), Pieno("Rossi Mario"));
    EXPECT_EQ(Cella(righe[2], 0), Pieno("ACME Spa"));
    EXPECT_EQ(Cella(righe[3], 0), Pieno("MPA"));

    EXPECT_EQ(Cella(righe[0], 1), " (3)(in fermata) ");
    EXPECT_EQ(Cella(righe[1], 1), std::string(17, 'n'));
    EXPECT_EQ(Cella(righe[2], 1), std::string(17, 'd'));
    EXPECT_EQ(Cella(righe[3], 1), "ARRANGNOTA-11-CHR") << "the note ends next to the separator";

    EXPECT_EQ(Cella(righe[0], 2), " (12345)(in ferma") << "cut to the cell";
    EXPECT_EQ(Cella(righe[3], 2), "cccccc" + std::string(11, 'x'));

    // A line end or a tab stored in a name must not break the chart's lines.
    EXPECT_EQ(Cella(righe[1], 4), Pieno("Riga  Due"));
    EXPECT_EQ(Cella(righe[2], 4), Pieno(" Ditta"));

    EXPECT_EQ(Cella(righe[0], 3), " (0)" + std::string(13, ' '));
    for (std::size_t riga = 1; riga < 4; ++riga) {
        EXPECT_EQ(Cella(righe[riga], 3), std::string(17, ' '));
    }
}

TEST(ChartLayout, TotalLines) {
    TotaliSettimana totali;
    totali.TotaleCC = {0, 1, 22, 333, 4444, 32767, 7};
    totali.TotalePC[6] = 9;
    const auto righe = RigheTotali(totali);
    EXPECT_EQ(Cella(righe[0], 0), "CC =     0       ");
    EXPECT_EQ(Cella(righe[0], 4), "CC =  4444       ");
    EXPECT_EQ(Cella(righe[0], 5), "CC = 32767       ");
    EXPECT_EQ(Cella(righe[1], 5), "MP =     0       ");
    EXPECT_EQ(Cella(righe[2], 6), "PC =     9       ");
    for (const auto& riga : righe) {
        EXPECT_EQ(riga.substr(0, 6), "     \xB3");
        EXPECT_EQ(riga.size(), 132u);
        EXPECT_EQ(riga.back(), '\xB3');
    }
}

TEST(ChartLayout, WholeFileLineByLine) {
    ChartFixture fx;
    fx.camera("101");
    fx.camera("102", 1, "SIN", 1);
    const auto righe = fx.crea("", "ZZZ", "16/03/2026");
    ASSERT_EQ(righe.size(), 9u + 5u * 2u);
    for (const auto& riga : righe) {
        EXPECT_EQ(riga.size(), 132u);
    }
    EXPECT_EQ(righe[0].substr(0, 25), " Hotel : Hotel Bellavista");
    EXPECT_EQ(righe[0].substr(77, 27), "Primo piano dal 16/03/2026 ");
    EXPECT_EQ(righe[0].substr(116), "14/03/2026 09:05");
    EXPECT_EQ(righe[1], RigaBordoSuperiore());
    const std::array<std::string, 7> nomi = {"Luned\xEC",  "Marted\xEC", "Mercoled\xEC",
                                             "Gioved\xEC", "Venerd\xEC", "Sabato",
                                             "Domenica"};
    for (std::size_t g = 0; g < 7; ++g) {
        EXPECT_EQ(Cella(righe[2], g), Pieno(" " + nomi[g]));
        EXPECT_EQ(Cella(righe[3], g), Pieno(" " + std::to_string(16 + g) + "/03/2026"));
    }
    EXPECT_EQ(righe[2].substr(0, 6), "     \xB3");
    EXPECT_EQ(righe[4], RigaSeparatore());
    EXPECT_EQ(righe[5].substr(0, 5), "101  ");
    EXPECT_EQ(righe[6].substr(0, 5), "DOP  ");
    EXPECT_EQ(righe[7].substr(0, 5), "2    ");
    EXPECT_EQ(righe[9], RigaSeparatore());
    EXPECT_EQ(righe[10].substr(0, 5), "102  ");
    EXPECT_EQ(righe[14], RigaSeparatore());
    EXPECT_EQ(Cella(righe[15], 0), "CC =     0       ");
    EXPECT_EQ(Cella(righe[16], 0), "MP =     0       ");
    EXPECT_EQ(Cella(righe[17], 0), "PC =     0       ");
    EXPECT_EQ(righe[18], RigaBordoInferiore());
}

TEST(ChartLayout, NoRoomTakenGivesNineLines) {
    ChartFixture fx;
    fx.camera("101", 2);  // another block
    const auto righe = fx.crea();
    ASSERT_EQ(righe.size(), 9u);
    EXPECT_EQ(righe[4], RigaSeparatore());
    EXPECT_EQ(Cella(righe[5], 6), "CC =     0       ");
    EXPECT_EQ(Cella(righe[7], 6), "PC =     0       ");
    EXPECT_EQ(righe[8], RigaBordoInferiore());
}

}  // namespace
}  // namespace tableau::chart
