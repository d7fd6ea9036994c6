#include "routines/message_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace tableau::routines {
namespace {

TEST(LayoutMessaggio, SizesTheWindowByRowsAndColumns) {
    const auto layout = CalcolaLayout("Controllare l'intervallo di camere richiesto!", 48);
    EXPECT_EQ(layout.righe, 2);
    EXPECT_EQ(layout.colonne, 51);
    EXPECT_EQ(layout.larghezza, 4590);
    EXPECT_EQ(layout.altezza, 1890);
    EXPECT_EQ(layout.testo, (Riquadro{120, 480, 4410, 600}));
    EXPECT_EQ(layout.titolo, (Riquadro{0, 0, 4590, 375}));
    EXPECT_EQ(layout.cornice, (Riquadro{0, 0, 4590, 1890}));
    EXPECT_EQ(layout.tasti[0], (Riquadro{1860, 1180, 975, 615}));

    const auto vuoto = CalcolaLayout("", 48);
    EXPECT_EQ(vuoto.larghezza, 4590);
    EXPECT_EQ(vuoto.testo.height, 600);

    const auto treRighe = CalcolaLayout("uno\r\ndue\r\ntre", 0);
    EXPECT_EQ(treRighe.righe, 4);
    EXPECT_EQ(treRighe.testo.height, 1200);
    EXPECT_EQ(treRighe.altezza, 1200 + 375 + 615 + 300);
    EXPECT_EQ(treRighe.tasti[0].top, 1780);

    EXPECT_EQ(CalcolaLayout(std::string(50, 'x'), 0).colonne, 51);
    const auto sessanta = CalcolaLayout(std::string(60, 'x'), 0);
    EXPECT_EQ(sessanta.colonne, 61);
    EXPECT_EQ(sessanta.larghezza, 5490);
    EXPECT_EQ(sessanta.testo.width, 5310);
}

TEST(LayoutMessaggio, CountsRunsBetweenCarriageReturns) {
    // The line feed after a carriage return starts the next run and counts in it.
    EXPECT_EQ(CalcolaColonne(std::string(55, 'a') + "\r\n" + std::string(55, 'b')), 57);
    EXPECT_EQ(CalcolaColonne(std::string(70, 'a') + "\r\nb"), 71);
    EXPECT_EQ(CalcolaColonne("a\r\n" + std::string(70, 'b')), 72);
    EXPECT_EQ(CalcolaRighe("a\rb\rc"), 4);
    EXPECT_EQ(CalcolaRighe("a\nb"), 2);  // line feeds alone are not counted
}

TEST(LayoutMessaggio, PlacesTheButtonsOfEachType) {
    for (const int t : {0, 48}) {
        const auto tipo = static_cast<std::int16_t>(t);
        EXPECT_EQ(CalcolaLayout("x", tipo).tasti[0].left, 1860) << tipo;
    }
    for (const int t : {4, 36, 200, 300, 400}) {
        const auto tipo = static_cast<std::int16_t>(t);
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 1337) << tipo;
        EXPECT_EQ(layout.tasti[1].left, 2382) << tipo;
    }
    for (const int t : {35, 51}) {
        const auto tipo = static_cast<std::int16_t>(t);
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 815) << tipo;
        EXPECT_EQ(layout.tasti[1].left, 1860) << tipo;
        EXPECT_EQ(layout.tasti[2].left, 2905) << tipo;
    }
    for (const int t : {1, 199, 401, -4}) {
        const auto tipo = static_cast<std::int16_t>(t);
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 120) << tipo;
        EXPECT_EQ(layout.tasti[1].left, 1200) << tipo;
        EXPECT_EQ(layout.tasti[2].left, 2280) << tipo;
    }
}

TEST(LayoutMessaggio, RefusesTextsBeyondTheSixteenBitLayout) {
    EXPECT_EQ(CalcolaLayout(std::string(363, 'x'), 0).larghezza, 32760);
    EXPECT_THROW(CalcolaLayout(std::string(364, 'x'), 0), ErroreOverflow);
    std::string righe;
    for (int i = 0; i < 107; ++i) {
        righe += "r\r\n";
    }
    EXPECT_EQ(CalcolaLayout(righe, 0).testo.height, 32700);
    EXPECT_THROW(CalcolaLayout(righe + "\r\n", 0), ErroreOverflow);
}

TEST(TastiMessaggio, ButtonSetsAndAnswers) {
    struct Caso {
        std::int16_t tipo;
        std::array<const char*, 3> didascalie;
        std::array<bool, 3> visibili;
        bool fuoco;
    };
    const Caso casi[] = {
        {0, {"Ok", "Ok", "Annulla"}, {true, false, false}, false},
        {48, {"Ok", "Ok", "Annulla"}, {true, false, false}, false},
        {4, {"Si", "No", "Annulla"}, {true, true, false}, true},
        {36, {"Si", "No", "Annulla"}, {true, true, false}, true},
        {35, {"Si", "No", "Annulla"}, {true, true, true}, true},
        {51, {"Si", "No", "Annulla"}, {true, true, true}, true},
        {200, {"Si", "No", "Annulla"}, {true, true, false}, false},
        {400, {"Si", "No", "Annulla"}, {true, true, false}, false},
        {16, {"Ok", "Ok", "Annulla"}, {true, true, true}, false},
    };
    for (const auto& caso : casi) {
        const auto tasti = TastiPerTipo(caso.tipo);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(tasti.didascalie[i], caso.didascalie[i]) << caso.tipo << " " << i;
            EXPECT_EQ(tasti.visibili[i], caso.visibili[i]) << caso.tipo << " " << i;
        }
        EXPECT_EQ(tasti.fuocoSulPrimo, caso.fuoco) << caso.tipo;
    }
    EXPECT_EQ(RispostaTasto(0, "Ok"), 0);
    EXPECT_EQ(RispostaTasto(0, "Si"), 6);
    EXPECT_EQ(RispostaTasto(0, "Annulla"), std::nullopt);
    EXPECT_EQ(RispostaTasto(1, "No"), 7);
    EXPECT_EQ(RispostaTasto(1, "Ok"), 7);
    EXPECT_EQ(RispostaTasto(2, "Annulla"), 2);
}

}  // namespace
}  // namespace tableau::routines
