#include "routines/message_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace tableau::routines {
namespace {

// A type by its code, for codes the table does not name.
TipoMessaggio Tipo(int codice) {
    return static_cast<TipoMessaggio>(codice);
}
int Codice(TipoMessaggio tipo) {
    return static_cast<int>(tipo);
}

TEST(LayoutMessaggio, SizesTheWindowByRowsAndColumns) {
    const auto layout =
        CalcolaLayout("Controllare l'intervallo di camere richiesto!", TipoMessaggio::okAvviso);
    EXPECT_EQ(layout.righe, 2);
    EXPECT_EQ(layout.colonne, 51);
    EXPECT_EQ(layout.larghezza, 4590);
    EXPECT_EQ(layout.altezza, 1890);
    EXPECT_EQ(layout.testo, (Riquadro{120, 480, 4410, 600}));
    EXPECT_EQ(layout.titolo, (Riquadro{0, 0, 4590, 375}));
    EXPECT_EQ(layout.cornice, (Riquadro{0, 0, 4590, 1890}));
    EXPECT_EQ(layout.tasti[0], (Riquadro{1860, 1180, 975, 615}));

    const auto vuoto = CalcolaLayout("", TipoMessaggio::okAvviso);
    EXPECT_EQ(vuoto.larghezza, 4590);
    EXPECT_EQ(vuoto.testo.height, 600);

    const auto treRighe = CalcolaLayout("uno\r\ndue\r\ntre", TipoMessaggio::ok);
    EXPECT_EQ(treRighe.righe, 4);
    EXPECT_EQ(treRighe.testo.height, 1200);
    EXPECT_EQ(treRighe.altezza, 1200 + 375 + 615 + 300);
    EXPECT_EQ(treRighe.tasti[0].top, 1780);

    EXPECT_EQ(CalcolaLayout(std::string(50, 'x'), TipoMessaggio::ok).colonne, 51);
    const auto sessanta = CalcolaLayout(std::string(60, 'x'), TipoMessaggio::ok);
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
    for (const TipoMessaggio tipo : {TipoMessaggio::ok, TipoMessaggio::okAvviso}) {
        EXPECT_EQ(CalcolaLayout("x", tipo).tasti[0].left, 1860) << Codice(tipo);
    }
    for (const TipoMessaggio tipo :
         {TipoMessaggio::siNo, TipoMessaggio::siNoDomanda, TipoMessaggio::siNoSenzaFuoco, Tipo(300),
          TipoMessaggio::siNoSenzaFuocoUltimo}) {
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 1337) << Codice(tipo);
        EXPECT_EQ(layout.tasti[1].left, 2382) << Codice(tipo);
    }
    for (const TipoMessaggio tipo :
         {TipoMessaggio::siNoAnnullaDomanda, TipoMessaggio::siNoAnnullaAvviso}) {
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 815) << Codice(tipo);
        EXPECT_EQ(layout.tasti[1].left, 1860) << Codice(tipo);
        EXPECT_EQ(layout.tasti[2].left, 2905) << Codice(tipo);
    }
    // Codes outside the table.
    for (const TipoMessaggio tipo : {Tipo(1), Tipo(199), Tipo(401), Tipo(-4)}) {
        const auto layout = CalcolaLayout("x", tipo);
        EXPECT_EQ(layout.tasti[0].left, 120) << Codice(tipo);
        EXPECT_EQ(layout.tasti[1].left, 1200) << Codice(tipo);
        EXPECT_EQ(layout.tasti[2].left, 2280) << Codice(tipo);
    }
}

TEST(LayoutMessaggio, RefusesTextsBeyondTheSixteenBitLayout) {
    EXPECT_EQ(CalcolaLayout(std::string(363, 'x'), TipoMessaggio::ok).larghezza, 32760);
    EXPECT_THROW(CalcolaLayout(std::string(364, 'x'), TipoMessaggio::ok), ErroreOverflow);
    std::string righe;
    for (int i = 0; i < 107; ++i) {
        righe += "r\r\n";
    }
    EXPECT_EQ(CalcolaLayout(righe, TipoMessaggio::ok).testo.height, 32700);
    EXPECT_THROW(CalcolaLayout(righe + "\r\n", TipoMessaggio::ok), ErroreOverflow);
}

TEST(TipoMessaggio, NamedTypesKeepTheirCodes) {
    EXPECT_EQ(Codice(TipoMessaggio::ok), 0);
    EXPECT_EQ(Codice(TipoMessaggio::okAvviso), 48);
    EXPECT_EQ(Codice(TipoMessaggio::siNo), 4);
    EXPECT_EQ(Codice(TipoMessaggio::siNoDomanda), 36);
    EXPECT_EQ(Codice(TipoMessaggio::siNoAnnullaDomanda), 35);
    EXPECT_EQ(Codice(TipoMessaggio::siNoAnnullaAvviso), 51);
    EXPECT_EQ(Codice(TipoMessaggio::siNoSenzaFuoco), 200);
    EXPECT_EQ(Codice(TipoMessaggio::siNoSenzaFuocoUltimo), 400);
}

TEST(TastiMessaggio, ButtonSetsAndAnswers) {
    struct Caso {
        TipoMessaggio tipo;
        std::array<const char*, 3> didascalie;
        std::array<bool, 3> visibili;
        bool fuoco;
    };
    const Caso casi[] = {
        {TipoMessaggio::ok, {"Ok", "Ok", "Annulla"}, {true, false, false}, false},
        {TipoMessaggio::okAvviso, {"Ok", "Ok", "Annulla"}, {true, false, false}, false},
        {TipoMessaggio::siNo, {"Si", "No", "Annulla"}, {true, true, false}, true},
        {TipoMessaggio::siNoDomanda, {"Si", "No", "Annulla"}, {true, true, false}, true},
        {TipoMessaggio::siNoAnnullaDomanda, {"Si", "No", "Annulla"}, {true, true, true}, true},
        {TipoMessaggio::siNoAnnullaAvviso, {"Si", "No", "Annulla"}, {true, true, true}, true},
        {TipoMessaggio::siNoSenzaFuoco, {"Si", "No", "Annulla"}, {true, true, false}, false},
        {TipoMessaggio::siNoSenzaFuocoUltimo, {"Si", "No", "Annulla"}, {true, true, false}, false},
        {Tipo(16), {"Ok", "Ok", "Annulla"}, {true, true, true}, false},  // outside the table
    };
    for (const auto& caso : casi) {
        const auto tasti = TastiPerTipo(caso.tipo);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(tasti.didascalie[i], caso.didascalie[i]) << Codice(caso.tipo) << " " << i;
            EXPECT_EQ(tasti.visibili[i], caso.visibili[i]) << Codice(caso.tipo) << " " << i;
        }
        EXPECT_EQ(tasti.fuocoSulPrimo, caso.fuoco) << Codice(caso.tipo);
    }
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::conferma, "Ok"), Risposta::ok);
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::conferma, "Si"), Risposta::si);
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::conferma, "Annulla"), std::nullopt);
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::no, "No"), Risposta::no);
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::no, "Ok"), Risposta::no);
    EXPECT_EQ(RispostaTastoPremuto(TastoMessaggio::annulla, "Annulla"), Risposta::annulla);
    // The answers keep their codes.
    EXPECT_EQ(static_cast<int>(Risposta::ok), 0);
    EXPECT_EQ(static_cast<int>(Risposta::si), 6);
    EXPECT_EQ(static_cast<int>(Risposta::no), 7);
    EXPECT_EQ(static_cast<int>(Risposta::annulla), 2);
}

}  // namespace
}  // namespace tableau::routines
