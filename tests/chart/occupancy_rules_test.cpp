// What each room shows on each day: guests, bookings, names, companies, codes, notes and
// the weekly totals, checked on the chart file built from small hotels.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "chart/chart_layout.h"
#include "chart_fixture.h"
#include "db/writer/sqlite_writer.h"

namespace tableau::chart {
namespace {

using test::Cella;
using test::ChartFixture;
using test::Ospite;
using test::Pieno;
using test::Prenotazione;
using test::RigheDellaCamera;

const std::string kVuota(17, ' ');

std::string Conto(int n, const std::string& stato = "") {
    return Pieno(" (" + std::to_string(n) + ")" + stato);
}

// The cells of one line of a room across the week.
std::vector<std::string> Settimana(const std::string& riga) {
    std::vector<std::string> celle;
    for (std::size_t g = 0; g < 7; ++g) {
        celle.push_back(Cella(riga, g));
    }
    return celle;
}

TEST(OccupancyRules, EmptyRoomShowsZeroAndBlankLines) {
    ChartFixture fx;
    fx.camera("101");
    fx.ospite({.camera = "101", .arrivo = "20260301", .partenza = "20260316"});  // left
    fx.ospite({.camera = "101", .arrivo = "20260323", .partenza = "20260325"});  // later
    const auto camera = RigheDellaCamera(fx.crea(), 0);
    for (std::size_t g = 0; g < 7; ++g) {
        EXPECT_EQ(Cella(camera[0], g), " (0)" + std::string(13, ' '));
        EXPECT_EQ(Cella(camera[1], g), kVuota);
        EXPECT_EQ(Cella(camera[2], g), kVuota);
        EXPECT_EQ(Cella(camera[3], g), kVuota);
    }
}

TEST(OccupancyRules, GuestStatesAcrossTheWeek) {
    ChartFixture fx;
    fx.camera("101");
    fx.camera("102");
    fx.camera("103");
    // Arrives on Tuesday, leaves on Friday: not counted on the departure day.
    fx.ospite({.camera = "101", .arrivo = "20260317", .partenza = "20260320", .nome = "Rossi"});
    // Two guests: the first met arrived earlier, the second arrives on Wednesday.
    fx.ospite({.camera = "102", .arrivo = "20260310", .partenza = "20260330"});
    fx.ospite({.camera = "102", .arrivo = "20260318", .partenza = "20260330", .componente = 2});
    // Already left (Partito "S"), Partito unknown, another hotel: none of them counts.
    fx.ospite({.camera = "103", .arrivo = "20260310", .partenza = "20260330", .partito = "S"});
    fx.ospite(
        {.camera = "103", .arrivo = "20260310", .partenza = "20260330", .partito = std::nullopt});
    fx.ospite({.camera = "103", .arrivo = "20260310", .partenza = "20260330", .hotel = 2});
    const auto righe = fx.crea();

    const auto camera101 = RigheDellaCamera(righe, 0);
    EXPECT_EQ(Settimana(camera101[0]),
              (std::vector<std::string>{Conto(0), Conto(1, "(arrivata)"), Conto(1, "(in fermata)"),
                                        Conto(1, "(in fermata)"), Conto(0), Conto(0), Conto(0)}));
    EXPECT_EQ(Cella(camera101[1], 1), Pieno("Rossi"));
    EXPECT_EQ(Cella(camera101[1], 4), kVuota);

    const auto camera102 = RigheDellaCamera(righe, 1);
    EXPECT_EQ(Cella(camera102[0], 1), Conto(1, "(in fermata)"));
    EXPECT_EQ(Cella(camera102[0], 2), Conto(2, "(in fermata)"));

    const auto camera103 = RigheDellaCamera(righe, 2);
    EXPECT_EQ(Settimana(camera103[0]), std::vector<std::string>(7, Conto(0)));
}

TEST(OccupancyRules, BookingStatesAndIgnoredRows) {
    ChartFixture fx;
    fx.camera("201");
    fx.camera("202");
    fx.prenotazione({.camera = "201", .arrivo = "20260318", .partenza = "20260321", .persone = 3});
    // Arrived before the week: "(prenotata)" from the first day.
    fx.prenotazione({.camera = "202", .arrivo = "20260314", .partenza = "20260317", .numero = 2});
    // A booking of another type and one with no persons are ignored: the guest shows.
    fx.prenotazione(
        {.camera = "202", .arrivo = "20260318", .partenza = "20260322", .numero = 3, .tipo = "X"});
    fx.prenotazione(
        {.camera = "202", .arrivo = "20260318", .partenza = "20260322", .numero = 4, .persone = 0});
    fx.ospite({.camera = "202", .arrivo = "20260318", .partenza = "20260322"});
    const auto righe = fx.crea();
    EXPECT_EQ(Settimana(RigheDellaCamera(righe, 0)[0]),
              (std::vector<std::string>{Conto(0), Conto(0), Conto(3, "(in arrivo)"),
                                        Conto(3, "(prenotata)"), Conto(3, "(prenotata)"), Conto(0),
                                        Conto(0)}));
    EXPECT_EQ(Settimana(RigheDellaCamera(righe, 1)[0]),
              (std::vector<std::string>{Conto(2, "(prenotata)"), Conto(0), Conto(1, "(arrivata)"),
                                        Conto(1, "(in fermata)"), Conto(1, "(in fermata)"),
                                        Conto(1, "(in fermata)"), Conto(0)}));
}

TEST(OccupancyRules, BookingOverGuestsAndTheCodeLine) {
    ChartFixture fx;
    fx.camera("301");
    fx.camera("302");
    fx.ospite({.camera = "301",
               .arrivo = "20260310",
               .partenza = "20260330",
               .progressivo = 11,
               .nome = "Bianchi Anna"});
    fx.arrangiamento(11, "  HB  ");
    fx.ditta(11, "Ditta Ospite");
    fx.prenotazione({.camera = "301",
                     .arrivo = "20260316",
                     .partenza = "20260318",
                     .numero = 5,
                     .persone = 4,
                     .trattamento = "BB",
                     .note = "chiamare *late arrival* prima"});
    fx.testata(5, "C", "Verdi Luca", "Ditta Verdi");
    // Without guests the booking's treatment is the code; a later row replaces an earlier
    // one even when its treatment is missing.
    fx.prenotazione({.camera = "302",
                     .arrivo = "20260316",
                     .partenza = "20260319",
                     .numero = 6,
                     .trattamento = "FB",
                     .note = "*VIP*"});
    fx.prenotazione({.camera = "302", .arrivo = "20260318", .partenza = "20260320", .numero = 7});
    const auto righe = fx.crea();

    const auto camera301 = RigheDellaCamera(righe, 0);
    EXPECT_EQ(Cella(camera301[0], 0), Conto(4, "(in arrivo)"));
    EXPECT_EQ(Cella(camera301[1], 0), Pieno("Verdi Luca"));
    EXPECT_EQ(Cella(camera301[2], 0), Pieno("Ditta Verdi"));
    EXPECT_EQ(Cella(camera301[3], 0), "HB    late arriva")
        << "the guests' code, the booking's note cut to 11";
    EXPECT_EQ(Cella(camera301[0], 2), Conto(1, "(in fermata)"));
    EXPECT_EQ(Cella(camera301[1], 2), Pieno("Bianchi Anna"));
    EXPECT_EQ(Cella(camera301[2], 2), Pieno("Ditta Ospite"));
    EXPECT_EQ(Cella(camera301[3], 2), Pieno("HB"));

    const auto camera302 = RigheDellaCamera(righe, 1);
    EXPECT_EQ(Cella(camera302[3], 0), Pieno("FB    VIP"));
    EXPECT_EQ(Cella(camera302[3], 2), kVuota) << "row 7 replaced treatment and note";
    EXPECT_EQ(Cella(camera302[0], 2), Conto(2, "(in arrivo)"));
}

TEST(OccupancyRules, FamiliesGroupsAndFirstMember) {
    ChartFixture fx;
    for (const char* numero : {"401", "402", "403", "404"}) {
        fx.camera(numero);
    }
    fx.classe("HB", "M");
    fx.classe("FB", "P");
    fx.classe("BB", "S");
    fx.arrangiamento(500, "HB");  // the family's head
    fx.arrangiamento(600, "FB");  // the group's head
    fx.arrangiamento(21, "BB");   // member 1 of room 402
    fx.arrangiamento(23, "XX");   // member 2 of room 402: never asked
    fx.ospite({.camera = "401",
               .arrivo = "20260310",
               .partenza = "20260330",
               .progressivo = 20,
               .componente = 3,
               .famiglia = 500,
               .gruppo = 600});
    fx.ospite({.camera = "401",
               .arrivo = "20260310",
               .partenza = "20260330",
               .progressivo = 30,
               .componente = 4,
               .gruppo = 600});
    fx.ospite({.camera = "402",
               .arrivo = "20260315",
               .partenza = "20260330",
               .progressivo = 23,
               .componente = 2});
    fx.ospite({.camera = "402",
               .arrivo = "20260315",
               .partenza = "20260330",
               .progressivo = 21,
               .componente = 1,
               .nome = "Capofila"});
    // Member 1 of room 403 arrived on another day: member 2 takes no arrangement.
    fx.ospite({.camera = "403",
               .arrivo = "20260314",
               .partenza = "20260330",
               .progressivo = 31,
               .componente = 2});
    fx.ospite({.camera = "403",
               .arrivo = "20260313",
               .partenza = "20260330",
               .progressivo = 32,
               .componente = 1});
    fx.arrangiamento(32, "BB");
    // Member 1 of room 404 left before the week: outside the week's guests, not found.
    fx.ospite({.camera = "404",
               .arrivo = "20260310",
               .partenza = "20260330",
               .progressivo = 41,
               .componente = 2});
    fx.ospite({.camera = "404",
               .arrivo = "20260310",
               .partenza = "20260312",
               .progressivo = 42,
               .componente = 1});
    fx.arrangiamento(42, "HB");
    const auto righe = fx.crea();

    // Room 401: family head's HB, then the group head's FB (the later guest wins).
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 0)[3], 0), Pieno("FB"));
    // Room 402: member 2 takes member 1's BB.
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 1)[3], 0), Pieno("BB"));
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 1)[1], 0), Pieno("Capofila"));
    // Room 403: only member 1's own BB; room 404: nothing.
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 2)[3], 0), Pieno("BB"));
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 3)[3], 0), kVuota);
    EXPECT_EQ(Cella(RigheDellaCamera(righe, 3)[0], 0), Conto(1, "(in fermata)"));

    const std::size_t totali = 5 + 5 * 4;
    // CC: room 402 twice, room 403 once; MP: 401's first guest; PC: 401's second guest.
    EXPECT_EQ(Cella(righe[totali], 0), "CC =     3       ");
    EXPECT_EQ(Cella(righe[totali + 1], 0), "MP =     1       ");
    EXPECT_EQ(Cella(righe[totali + 2], 0), "PC =     1       ");
}

TEST(OccupancyRules, ManyMembersWithoutTheirFirstAreLookedUpOnce) {
    // 8,000 members numbered 2 and above in one room, no head of family or group and no
    // member 1: each asks for the party's first member, which the room does not hold.
    ChartFixture fx;
    fx.camera("501");
    fx.classe("BB", "S");
    fx.arrangiamento(7, "BB");
    {
        db::writer::SqliteWriter writer(fx.dir() / "Scheda_Cliente.mdb");
        writer.begin();
        for (std::int64_t i = 0; i < 8000; ++i) {
            writer.insert("Scheda_Cliente",
                          {"NumeroHotel", "NumeroCamera", "DataArrivo", "DataPartenza", "Partito",
                           "NumeroProgressivo", "NumeroComponente", "CodiceCapoFamiglia",
                           "CodiceCapoGruppo", "NomeCliente"},
                          {std::int64_t{1}, std::string("501"), std::string("20260316"),
                           std::string("20260318"), std::string("N"), 1000 + i, 2 + i % 5,
                           std::int64_t{0}, std::int64_t{0}, std::string("Ospite")});
        }
        writer.commit();
    }
    // One member 1 arrived another day: found for no one.
    fx.ospite({.camera = "501",
               .arrivo = "20260315",
               .partenza = "20260318",
               .progressivo = 7,
               .componente = 1,
               .nome = "Capofila"});
    const auto prima = std::chrono::steady_clock::now();
    const auto righe = fx.crea();
    const auto durata = std::chrono::steady_clock::now() - prima;
    EXPECT_LT(durata, std::chrono::seconds(2))
        << std::chrono::duration_cast<std::chrono::milliseconds>(durata).count() << " ms";

    const auto camera = RigheDellaCamera(righe, 0);
    EXPECT_EQ(Cella(camera[0], 0), Conto(8001, "(arrivata)"));
    EXPECT_EQ(Cella(camera[0], 1), Conto(8001, "(in fermata)"));
    EXPECT_EQ(Cella(camera[0], 2), Conto(0));
    EXPECT_EQ(Cella(camera[3], 0), Pieno("BB"));  // the head's own, the members' none
    const std::size_t totali = 5 + 5 * 1;
    EXPECT_EQ(Cella(righe[totali], 0), "CC =     1       ");
}

TEST(OccupancyRules, WeeklyTotalsByClass) {
    ChartFixture fx;
    fx.camera("501");
    fx.camera("502");
    fx.camera("503");
    fx.classe("BB", "S");
    fx.classe("CO", "C");
    fx.classe("HB", "M");
    fx.classe("FB", "P");
    fx.classe("RO", "R");  // counts nowhere
    fx.classe("hb", "m");  // letter case matters
    fx.prenotazione({.camera = "501",
                     .arrivo = "20260316",
                     .partenza = "20260318",
                     .persone = 3,
                     .trattamento = "BB"});
    fx.prenotazione({.camera = "502",
                     .arrivo = "20260317",
                     .partenza = "20260319",
                     .numero = 2,
                     .persone = 2,
                     .trattamento = "CO"});
    fx.prenotazione({.camera = "503",
                     .arrivo = "20260316",
                     .partenza = "20260323",
                     .numero = 3,
                     .persone = 5,
                     .trattamento = "HB"});
    fx.prenotazione({.camera = "503",
                     .arrivo = "20260320",
                     .partenza = "20260323",
                     .numero = 4,
                     .persone = 1,
                     .trattamento = "FB"});
    fx.prenotazione({.camera = "501",
                     .arrivo = "20260320",
                     .partenza = "20260323",
                     .numero = 5,
                     .persone = 7,
                     .trattamento = "RO"});
    fx.prenotazione({.camera = "502",
                     .arrivo = "20260320",
                     .partenza = "20260323",
                     .numero = 6,
                     .persone = 7,
                     .trattamento = "hb"});
    fx.ospite({.camera = "501", .arrivo = "20260318", .partenza = "20260319", .progressivo = 9});
    fx.arrangiamento(9, "FB");
    const auto righe = fx.crea();
    const std::size_t totali = 5 + 5 * 3;
    EXPECT_EQ(
        Settimana(righe[totali]),
        (std::vector<std::string>{"CC =     3       ", "CC =     5       ", "CC =     2       ",
                                  "CC =     0       ", "CC =     0       ", "CC =     0       ",
                                  "CC =     0       "}));
    EXPECT_EQ(Cella(righe[totali + 1], 0), "MP =     5       ");
    EXPECT_EQ(Cella(righe[totali + 1], 4), "MP =     5       ");
    EXPECT_EQ(Cella(righe[totali + 2], 2), "PC =     1       ") << "the guest's FB";
    EXPECT_EQ(Cella(righe[totali + 2], 3), "PC =     0       ");
    EXPECT_EQ(Cella(righe[totali + 2], 4), "PC =     1       ");
}

TEST(OccupancyRules, BookingHeaderDecidesNameAndCompany) {
    ChartFixture fx;
    fx.camera("601");
    fx.camera("602");
    fx.camera("603");
    for (const char* numero : {"601", "602", "603"}) {
        fx.ospite({.camera = numero,
                   .arrivo = "20260310",
                   .partenza = "20260330",
                   .progressivo = 70,
                   .nome = "Ospite Registrato"});
    }
    fx.ditta(70, "Ditta Registrata");
    // 601: no header; 602: header of type "A"; 603: confirmed.
    fx.prenotazione({.camera = "601", .arrivo = "20260316", .partenza = "20260323", .numero = 1});
    fx.prenotazione({.camera = "602", .arrivo = "20260316", .partenza = "20260323", .numero = 2});
    fx.testata(2, "A", "Cliente A", "Ditta A");
    fx.prenotazione({.camera = "603", .arrivo = "20260316", .partenza = "20260323", .numero = 3});
    fx.testata(3, "O", "   Giovanni Battista Rossi", "Ditta Confermata");
    const auto righe = fx.crea();
    for (std::size_t camera = 0; camera < 2; ++camera) {
        const auto r = RigheDellaCamera(righe, camera);
        EXPECT_EQ(Cella(r[0], 3), Conto(2, "(prenotata)"));
        EXPECT_EQ(Cella(r[1], 3), Pieno("Ospite Registrato"));
        EXPECT_EQ(Cella(r[2], 3), Pieno("Ditta Registrata"));
    }
    const auto r = RigheDellaCamera(righe, 2);
    EXPECT_EQ(Cella(r[1], 3), Pieno("Giovanni Batti")) << "cut to 17, then trimmed";
    EXPECT_EQ(Cella(r[2], 3), Pieno("Ditta Confermata"));
}

TEST(OccupancyRules, ConfirmationReadsTheFirstRowOfTheBookingAsStored) {
    ChartFixture fx;
    fx.camera("701");
    fx.camera("702 ");  // stored with a trailing blank
    fx.camera("703");
    // Booking 8 has two rows for room 701: the confirmation checks only the first.
    fx.prenotazione({.camera = "701", .arrivo = "20260316", .partenza = "20260318", .numero = 8});
    fx.prenotazione({.camera = "701", .arrivo = "20260320", .partenza = "20260323", .numero = 8});
    fx.testata(8, "C", "Cliente Otto", "");
    // Room "702 ": rule B finds the booking by the trimmed number, the confirmation by the
    // number as stored, which no row has.
    fx.prenotazione({.camera = "702", .arrivo = "20260316", .partenza = "20260323", .numero = 9});
    fx.testata(9, "C", "Cliente Nove", "");
    // Room 703 has no counting booking; booking number 0 is confirmed all the same.
    fx.prenotazione(
        {.camera = "703", .arrivo = "20260316", .partenza = "20260323", .numero = 0, .persone = 0});
    fx.testata(0, "D", "Cliente Zero", "Ditta Zero");
    const auto righe = fx.crea();

    const auto camera701 = RigheDellaCamera(righe, 0);
    EXPECT_EQ(Cella(camera701[1], 0), Pieno("Cliente Otto"));
    EXPECT_EQ(Cella(camera701[0], 4), Conto(2, "(in arrivo)"));
    EXPECT_EQ(Cella(camera701[1], 4), kVuota);

    const auto camera702 = RigheDellaCamera(righe, 1);
    EXPECT_EQ(camera702[0].substr(0, 5), "702  ");
    EXPECT_EQ(Cella(camera702[0], 0), Conto(2, "(in arrivo)"));
    EXPECT_EQ(Cella(camera702[1], 0), kVuota);

    const auto camera703 = RigheDellaCamera(righe, 2);
    EXPECT_EQ(Cella(camera703[0], 0), Conto(0));
    EXPECT_EQ(Cella(camera703[1], 0), Pieno("Cliente Zero"));
    EXPECT_EQ(Cella(camera703[2], 0), Pieno("Ditta Zero"));
}

TEST(OccupancyRules, ApostrophesAndExactRoomNumbers) {
    ChartFixture fx;
    fx.camera("1'A", 1, "L'A", 2);
    fx.camera("10a");
    fx.classe("M'P", "M");
    fx.ospite({.camera = "1'A",
               .arrivo = "20260316",
               .partenza = "20260318",
               .progressivo = 5,
               .nome = "D'Amico Luigi"});
    fx.arrangiamento(5, "M'P");
    fx.ditta(5, "L'Officina");
    fx.ospite({.camera = "10A", .arrivo = "20260316", .partenza = "20260318"});
    fx.ospite({.camera = "10a ", .arrivo = "20260316", .partenza = "20260318"});
    const auto righe = fx.crea();
    const auto camera1 = RigheDellaCamera(righe, 1);  // "1'A" sorts first: ' is below 0
    const auto primaCamera = RigheDellaCamera(righe, 0);
    EXPECT_EQ(primaCamera[0].substr(0, 5), "1'A  ");
    EXPECT_EQ(primaCamera[1].substr(0, 5), "L'A  ");
    EXPECT_EQ(Cella(primaCamera[0], 0), Conto(1, "(arrivata)"));
    EXPECT_EQ(Cella(primaCamera[1], 0), Pieno("D'Amico Luigi"));
    EXPECT_EQ(Cella(primaCamera[2], 0), Pieno("L'Officina"));
    EXPECT_EQ(Cella(primaCamera[3], 0), Pieno("M'P"));
    EXPECT_EQ(Cella(righe[5 + 10 + 1], 0), "MP =     1       ");
    EXPECT_EQ(camera1[0].substr(0, 5), "10a  ");
    EXPECT_EQ(Cella(camera1[0], 0), Conto(0)) << "room numbers compare exactly";
}

TEST(OccupancyRules, RoomsInTextOrderWithinTheRange) {
    ChartFixture fx;
    for (const char* numero : {"3", "100", "15", "20", "1", "200"}) {
        fx.camera(numero);
    }
    fx.camera("16", 2);                    // another block
    fx.db().camera(2, 1, "17", "DOP", 2);  // another hotel
    fx.db().add("NumeriCamere", {{"NumeroHotel", std::int64_t{1}},
                                 {"NumeroTableau", std::int64_t{1}},
                                 {"TipoCamera", std::string("DOP")}});  // no number
    const auto righe = fx.crea("1", "20");
    ASSERT_EQ(righe.size(), 9u + 5u * 4u);
    std::vector<std::string> camere;
    for (std::size_t n = 0; n < 4; ++n) {
        camere.push_back(RigheDellaCamera(righe, n)[0].substr(0, 5));
    }
    EXPECT_EQ(camere, (std::vector<std::string>{"1    ", "100  ", "15   ", "20   "}));
}

TEST(OccupancyRules, WeekAcrossTheYearEnd) {
    ChartFixture fx;
    fx.camera("101");
    fx.ospite({.camera = "101", .arrivo = "20260101", .partenza = "20260103"});
    fx.prenotazione({.camera = "101", .arrivo = "20251225", .partenza = "20251231"});
    // Starts Saturday 27/12/2025, typed with other separators.
    const auto righe = fx.crea("", "ZZZ", "27-12-2025");
    EXPECT_EQ(righe[0].substr(77, 26), "Primo piano dal 27-12-2025");
    EXPECT_EQ(Cella(righe[2], 0), Pieno(" Sabato"));
    EXPECT_EQ(Cella(righe[2], 2), Pieno(" Luned\xEC"));
    EXPECT_EQ(Cella(righe[3], 0), Pieno(" 27/12/2025"));
    EXPECT_EQ(Cella(righe[3], 5), Pieno(" 01/01/2026"));
    EXPECT_EQ(Cella(righe[3], 6), Pieno(" 02/01/2026"));
    const auto camera = RigheDellaCamera(righe, 0);
    EXPECT_EQ(Settimana(camera[0]),
              (std::vector<std::string>{Conto(2, "(prenotata)"), Conto(2, "(prenotata)"),
                                        Conto(2, "(prenotata)"), Conto(2, "(prenotata)"), Conto(0),
                                        Conto(1, "(arrivata)"), Conto(1, "(in fermata)")}));
}

TEST(OccupancyRules, NullTextsShowEmpty) {
    ChartFixture fx;
    fx.db().add("NumeriCamere", {{"NumeroHotel", std::int64_t{1}},
                                 {"NumeroTableau", std::int64_t{1}},
                                 {"NumeroCamera", std::string("101")}});
    fx.db().add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}},
                                   {"NumeroCamera", std::string("101")},
                                   {"DataArrivo", std::string("20260316")},
                                   {"DataPartenza", std::string("20260318")},
                                   {"Partito", std::string("")},
                                   {"NumeroProgressivo", std::int64_t{1}},
                                   {"NumeroComponente", std::int64_t{1}},
                                   {"CodiceCapoFamiglia", std::int64_t{0}},
                                   {"CodiceCapoGruppo", std::int64_t{0}}});
    fx.db().add("Arrangiamento",
                {{"NumeroHotel", std::int64_t{1}}, {"CodiceCliente", std::int64_t{1}}});
    const auto camera = RigheDellaCamera(fx.crea(), 0);
    EXPECT_EQ(camera[0].substr(0, 6), "101  \xB3");
    EXPECT_EQ(camera[1].substr(0, 6), "     \xB3");
    EXPECT_EQ(camera[2].substr(0, 6), "     \xB3") << "no beds known";
    EXPECT_EQ(Cella(camera[0], 0), Conto(1, "(arrivata)"));
    EXPECT_EQ(Cella(camera[1], 0), kVuota);
    EXPECT_EQ(Cella(camera[3], 0), kVuota);
}

}  // namespace
}  // namespace tableau::chart
