// tableau list: hotels, blocks and rooms, as an administrator writes the settings from.
#include <gtest/gtest.h>

#include "support/command_runner.h"
#include "support/hotel_fixture.h"

namespace tableau::app {
namespace {

TEST(ComandoList, HotelsBlocksAndRoomsWithTypeAndClass) {
    test::HotelFixture fx;
    fx.hotel(1, "Hotel Caff\xC3\xA8");
    fx.hotel(2, "Lago");
    fx.tableau(1, 1, "Piano terra");
    fx.tableau(1, 3, "Appartamenti");
    fx.camera(1, 1, "102", "DOP", 2);
    fx.camera(1, 1, "101", "SIN", 1);
    fx.camera(1, 3, "A1", "APP", 4);
    fx.tipoCamera("DOP", "C");
    const test::PostazioneDiProva postazione{fx.dir(), "1"};

    auto esito = test::EseguiComando(postazione, "list", {});
    ASSERT_EQ(esito.stato, kEseguito) << esito.err;
    EXPECT_NE(esito.out.find("Albergo 1 Hotel Caff\xC3\xA8\n"
                             "  Tableau 1 Piano terra: 2 camere, da 101 a 102\n"),
              std::string::npos)
        << esito.out;
    EXPECT_NE(esito.out.find("    102       tipo DOP      classe C\n"), std::string::npos)
        << esito.out;
    EXPECT_NE(esito.out.find("    101       tipo SIN      classe sconosciuta\n"), std::string::npos)
        << esito.out;
    EXPECT_LT(esito.out.find("101 "), esito.out.find("102 ")) << "rooms in room order";
    EXPECT_NE(esito.out.find("  Tableau 3 Appartamenti: 1 camera, da A1 a A1\n"),
              std::string::npos);
    EXPECT_NE(esito.out.find("Albergo 2 Lago\n  nessun tableau\n"), std::string::npos);

    esito = test::EseguiComando(postazione, "list", {"--hotel", "1", "--tableau", "3"});
    EXPECT_EQ(esito.stato, kEseguito);
    EXPECT_EQ(esito.out.find("Piano terra"), std::string::npos) << esito.out;

    esito = test::EseguiComando(postazione, "list", {"--hotel", "9"});
    EXPECT_EQ(esito.stato, kRifiutato);
    EXPECT_NE(esito.err.find("Alberghi: 1 Hotel Caff\xC3\xA8, 2 Lago."), std::string::npos)
        << esito.err;
    esito = test::EseguiComando(postazione, "list", {"--tableau", "1"});
    EXPECT_EQ(esito.stato, kRifiutato);
}

}  // namespace
}  // namespace tableau::app
