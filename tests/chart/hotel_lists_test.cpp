#include "chart/hotel_lists.h"

#include <gtest/gtest.h>

#include "db/database.h"
#include "db/errors.h"
#include "db/server/server_sync.h"
#include "support/hotel_fixture.h"
#include "support/test_server.h"

namespace tableau::chart {
namespace {

using test::HotelFixture;

db::RecordSet Tabella(const HotelFixture& hotel, const char* file, const char* tabella) {
    return db::OpenDatabase(hotel.dir(), file)->openTable(tabella);
}

TEST(TestoVoce, RightAlignsTheNumberInThreeCharacters) {
    EXPECT_EQ(TestoVoce(7, "Hotel Sole"), "  7 Hotel Sole");
    EXPECT_EQ(TestoVoce(123, "Hotel Sole"), "123 Hotel Sole");
    EXPECT_EQ(TestoVoce(7, ""), "  7 ");
    EXPECT_EQ(TestoVoce(1234, "Grande"), "1234 Grande");
}

TEST(ElenchiRichiesta, ListHotelsAndBlocksWithPositiveNumbers) {
    HotelFixture hotel;
    hotel.hotel(7, "Hotel Sole");
    hotel.hotel(0, "Modello");
    hotel.hotel(-2, "Prova");
    hotel.add("AnagraficaHotels", {{"Numero", std::int64_t{123}}});
    hotel.tableau(5, 1, "Piano terra");
    hotel.tableau(5, 0, "Tutte");
    hotel.tableau(5, 12, "Dependance");
    hotel.tableau(6, 3, "Altro albergo");

    auto anagrafica = Tabella(hotel, "AnagraficaHotels.mdb", "AnagraficaHotels");
    const auto hotels = ElencoHotel(anagrafica);
    ASSERT_EQ(hotels.size(), 2u);
    EXPECT_EQ(hotels[0].numero, 7);
    EXPECT_EQ(hotels[0].testo, "  7 Hotel Sole");
    EXPECT_EQ(hotels[1].numero, 123);
    EXPECT_EQ(hotels[1].testo, "123 ");

    auto tableau = Tabella(hotel, "Tableau.mdb", "Tableau");
    const auto blocchi = ElencoTableau(tableau, 5);
    ASSERT_EQ(blocchi.size(), 2u);
    EXPECT_EQ(blocchi[0].testo, "  1 Piano terra");
    EXPECT_EQ(blocchi[1].testo, " 12 Dependance");
    EXPECT_EQ(blocchi[1].numero, 12);
    EXPECT_TRUE(ElencoTableau(tableau, 9).empty());
}

TEST(ElenchiRichiesta, NumbersBeyondSixteenBitsAreRefused) {
    HotelFixture hotel;
    hotel.hotel(40000, "Troppo");
    auto anagrafica = Tabella(hotel, "AnagraficaHotels.mdb", "AnagraficaHotels");
    EXPECT_THROW(ElencoHotel(anagrafica), routines::ErroreOverflow);
}

TEST(ProponiIntervallo, LowestAndHighestRoomOfClassCByTextOrder) {
    HotelFixture hotel;
    hotel.tipoCamera("DB", "C");
    hotel.tipoCamera("SU", "S");
    hotel.tipoCamera("D'A", "C");
    hotel.tipoCamera("mi", "c");
    hotel.camera(5, 1, "101", "DB", 2);
    hotel.camera(5, 1, "102", "DB", 2);
    hotel.camera(5, 1, "99", "DB", 2);
    hotel.camera(5, 1, "100", "SU", 2);  // another class
    hotel.camera(5, 1, "0", "XX", 2);    // a type that does not exist
    hotel.camera(5, 1, "1", "mi", 2);    // class "c" is not "C"
    hotel.camera(5, 2, "001", "DB", 2);  // another block
    hotel.camera(6, 1, "999", "DB", 2);  // another hotel
    hotel.camera(5, 3, "7", "D'A", 1);   // a type code with an apostrophe
    hotel.add("NumeriCamere", {{"NumeroHotel", std::int64_t{5}},
                               {"NumeroTableau", std::int64_t{1}},
                               {"TipoCamera", std::string("DB")}});  // no room number

    auto camere = Tabella(hotel, "NumeriCamere.mdb", "NumeriCamere");
    const auto blocco = ProponiIntervallo(camere, hotel.dir(), 5, 1);
    EXPECT_EQ(blocco.prima, "101");
    EXPECT_EQ(blocco.ultima, "99");

    const auto singola = ProponiIntervallo(camere, hotel.dir(), 5, 3);
    EXPECT_EQ(singola.prima, "7");
    EXPECT_EQ(singola.ultima, "7");

    const auto vuoto = ProponiIntervallo(camere, hotel.dir(), 5, 8);
    EXPECT_EQ(vuoto.prima, "\xFF");
    EXPECT_EQ(vuoto.ultima, "");

    std::filesystem::remove(hotel.dir() / "TipiCamere.mdb");
    EXPECT_THROW(ProponiIntervallo(camere, hotel.dir(), 5, 1), db::ErroreArchivio);
}

TEST(IntervalloDelTableau, TheProposalElseEveryRoomOfTheBlock) {
    HotelFixture hotel;
    hotel.tipoCamera("DB", "C");
    hotel.tipoCamera("SU", "S");
    hotel.camera(5, 1, "101", "DB", 2);
    hotel.camera(5, 1, "20", "SU", 2);  // not proposed: another class
    hotel.camera(5, 2, "300", "SU", 2);
    hotel.camera(5, 2, "1000", "XX", 2);
    hotel.camera(5, 2, "31", "SU", 2);
    hotel.camera(6, 2, "0", "SU", 2);  // another hotel

    const auto proposto = IntervalloDelTableau(hotel.dir(), 5, 1);
    EXPECT_EQ(proposto.prima, "101");
    EXPECT_EQ(proposto.ultima, "101");
    const auto tutte = IntervalloDelTableau(hotel.dir(), 5, 2);
    EXPECT_EQ(tutte.prima, "1000");
    EXPECT_EQ(tutte.ultima, "31");
    const auto nessuna = IntervalloDelTableau(hotel.dir(), 5, 9);
    EXPECT_EQ(nessuna.prima, "");
    EXPECT_EQ(nessuna.ultima, "");
}

TEST(ProponiIntervallo, TheSameRoomsFromTheServer) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture hotel;
    hotel.tipoCamera("DB", "C");
    hotel.tipoCamera("\xC3\xA9", "C");  // é
    hotel.camera(5, 1, "a10", "DB", 2);
    hotel.camera(5, 1, "B2", "\xC3\xA9", 2);
    hotel.camera(5, 1, "\xC3\xA4", "DB", 2);  // ä
    hotel.camera(5, 1, "Z", "SU", 2);
    test::SchemaDiProva schema;
    {
        db::server::ServerConnection c(test::ServerPrimario());
        db::server::SyncToServer(hotel.dir(), c, schema.nome(), {});
    }
    auto camere = Tabella(hotel, "NumeriCamere.mdb", "NumeriCamere");
    const auto daiFile = ProponiIntervallo(camere, hotel.dir(), 5, 1);
    EXPECT_EQ(daiFile.prima, "B2");
    EXPECT_EQ(daiFile.ultima, "\xE4");
    // The files are gone: the server alone gives the rooms and their types.
    std::filesystem::remove(hotel.dir() / "TipiCamere.mdb");
    std::filesystem::remove(hotel.dir() / "NumeriCamere.mdb");
    db::DataSource server(hotel.dir(), db::ServerSetting{test::ServerPrimario(), schema.nome()});
    auto camereDalServer = server.open("NumeriCamere.mdb")->openTable("NumeriCamere");
    const auto dalServer = ProponiIntervallo(camereDalServer, server, 5, 1);
    EXPECT_EQ(dalServer.prima, daiFile.prima);
    EXPECT_EQ(dalServer.ultima, daiFile.ultima);
}

}  // namespace
}  // namespace tableau::chart
