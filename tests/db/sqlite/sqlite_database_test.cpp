#include "db/sqlite/sqlite_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/errors.h"
#include "support/hotel_fixture.h"
#include "support/record_walk.h"
#include "support/temp_dir.h"

namespace tableau::db::sqlite {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

using test::walk;

using test::errorOf;

class HotelDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        // Rooms stored out of order, with an index that a scan might otherwise follow.
        db::writer::SqliteWriter(hotel.dir() / "NumeriCamere.mdb")
            .exec("CREATE INDEX ByRoom ON NumeriCamere (NumeroCamera)");
        hotel.camera(1, 1, "102", "L'A", 2);
        hotel.camera(1, 1, "101", "S", 1);
        hotel.camera(1, 2, "201", "D", 2);
        hotel.camera(2, 1, "101", "S", 3);
        hotel.camera(1, 1, "100", "D", 2);
        hotel.add("NumeriCamere", {{"NumeroHotel", std::int64_t{1}}, {"NumeroCamera", "A"}});
        hotel.add("NumeriCamere", {{"NumeroHotel", 1.0},
                                   {"NumeroTableau", 1.5},
                                   {"NumeroCamera", "Pi\xC3\xB9"},
                                   {"PostiLetto", 2.0}});
    }
    test::HotelFixture hotel;
};

TEST_F(HotelDatabase, TablesInStorageOrderWithNullsAndNumbers) {
    const auto db = OpenDatabase(hotel.dir(), "NumeriCamere.mdb");
    EXPECT_EQ(db->name(), "NumeriCamere.mdb");
    RecordSet rooms = db->openTable("NumeriCamere");
    EXPECT_EQ(rooms.rowCount(), 7u);
    EXPECT_EQ(walk(rooms, Criteria(""), "NumeroCamera"),
              (Texts{"102", "101", "201", "101", "100", "A", "Pi\xF9"}));
    EXPECT_EQ(walk(rooms, Criteria("NumeroHotel = 1 and NumeroTableau = 1"), "NumeroCamera"),
              (Texts{"102", "101", "100"}));
    EXPECT_EQ(walk(rooms, Criteria("NumeroTableau = 1.5"), "NumeroCamera"), Texts{"Pi\xF9"});
    EXPECT_EQ(walk(rooms, Criteria("NumeroCamera = ?", {Value::text("Pi\xF9")}), "PostiLetto"),
              Texts{"2"});

    rooms.findFirst(Criteria("NumeroCamera = 'A'"));
    ASSERT_FALSE(rooms.noMatch());
    EXPECT_EQ(rooms.field("TipoCamera").asText(), "");
    EXPECT_EQ(rooms.field("PostiLetto").asNumber(), 0);
    EXPECT_FALSE(rooms.field("NumeroTableau").isText());
    rooms.findFirst(Criteria("NumeroTableau <> 1 and NumeroTableau <> 2"));
    EXPECT_EQ(rooms.field("NumeroCamera").asText(), "Pi\xF9") << "null is not <> 1";

    RecordSet sorted = rooms.sortedBy("NumeroCamera");
    EXPECT_EQ(walk(sorted, Criteria("NumeroHotel = 1"), "NumeroCamera"),
              (Texts{"100", "101", "102", "201", "A", "Pi\xF9"}));
    EXPECT_EQ(walk(sorted, Criteria("NumeroCamera = '101'"), "NumeroHotel"), (Texts{"1", "2"}));
}

TEST_F(HotelDatabase, ApostrophesInDataAndCriteria) {
    hotel.add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}}, {"NomeCliente", "D'Amico"}});
    hotel.add("Scheda_Cliente", {{"NumeroHotel", std::int64_t{1}}, {"NomeCliente", "Rossi"}});
    const auto guests = OpenDatabase(hotel.dir(), "Scheda_Cliente.mdb");
    for (const Criteria& c : {Criteria("NomeCliente = 'D''Amico'"),
                              Criteria("NomeCliente = ?", {Value::text("D'Amico")})}) {
        RecordSet set = guests->select(SelectStatement{"Scheda_Cliente", c, std::nullopt});
        EXPECT_EQ(walk(set, Criteria(""), "NomeCliente"), Texts{"D'Amico"}) << c.text();
        RecordSet table = guests->openTable("Scheda_Cliente");
        EXPECT_EQ(walk(table, c, "NomeCliente"), Texts{"D'Amico"}) << c.text();
    }
    const auto rooms = OpenDatabase(hotel.dir(), "NumeriCamere.mdb");
    RecordSet set = rooms->select(
        SelectStatement{"NumeriCamere", Criteria("TipoCamera = ?", {Value::text("L'A")}), {}});
    EXPECT_EQ(walk(set, Criteria(""), "NumeroCamera"), Texts{"102"});
}

TEST_F(HotelDatabase, FileNamesWithoutRegardToLetterCase) {
    fs::rename(hotel.dir() / "Tableau.mdb", hotel.dir() / "tableau.MDB");
    const auto db = OpenDatabase(hotel.dir(), "Tableau.mdb");
    EXPECT_EQ(db->name(), "Tableau.mdb");
    EXPECT_EQ(db->openTable("Tableau").rowCount(), 0u);
    EXPECT_NO_THROW(OpenDatabase(hotel.dir(), "TIPICAMERE.mdb")->openTable("TipiCamere"));

    // Both spellings present: the exact one wins.
    db::writer::SqliteWriter(hotel.dir() / "Tableau.mdb").createTable("Tableau");
    hotel.tableau(1, 1, "Primo piano");
    EXPECT_EQ(OpenDatabase(hotel.dir(), "Tableau.mdb")->openTable("Tableau").rowCount(), 1u);
    EXPECT_EQ(OpenDatabase(hotel.dir(), "tableau.MDB")->openTable("Tableau").rowCount(), 0u);
}

TEST_F(HotelDatabase, StorageOrderEvenWithACoveringIndex) {
    db::writer::SqliteWriter(hotel.dir() / "TipiCamere.mdb")
        .exec("CREATE INDEX Tutto ON TipiCamere (Tipologia, Sigla)");
    for (const char* sigla : {"S", "D", "T", "A", "Q"}) {
        hotel.tipoCamera(sigla, sigla[0] == 'D' ? "X" : "C");
    }
    const auto types = OpenDatabase(hotel.dir(), "TipiCamere.mdb");
    RecordSet all = types->openTable("TipiCamere");
    EXPECT_EQ(walk(all, Criteria(""), "Sigla"), (Texts{"S", "D", "T", "A", "Q"}));
    RecordSet some = types->select(SelectStatement{"TipiCamere", Criteria("Tipologia = 'C'"), {}});
    EXPECT_EQ(walk(some, Criteria(""), "Sigla"), (Texts{"S", "T", "A", "Q"}));
}

TEST_F(HotelDatabase, AScanHandsOnTheRowsOfOpenTableOneByOne) {
    const auto rooms = OpenDatabase(hotel.dir(), "NumeriCamere.mdb");
    test::ScannedTable scanned;
    rooms->scanTable("numericamere", scanned);
    const RecordSet whole = rooms->openTable("NumeriCamere");
    EXPECT_EQ(scanned.names, whole.fieldNames());
    EXPECT_EQ(scanned.types, whole.fieldTypes());
    EXPECT_EQ(scanned.rows, test::rowTexts(whole));
    ASSERT_EQ(scanned.rows.size(), 7u);
    EXPECT_EQ(scanned.rows[6][2], "Pi\xF9");  // Windows-1252, as every read has it

    // The scan's own failure stops the reading and comes out as it is.
    test::ScannedTable failing;
    failing.failAt = 3;
    EXPECT_THROW(rooms->scanTable("NumeriCamere", failing), ErroreServer);
    EXPECT_EQ(failing.rows.size(), 2u);
    EXPECT_NE(errorOf([&] { rooms->scanTable("Camere", failing); }).find("Camere"),
              std::string::npos);
}

TEST_F(HotelDatabase, MissingFileTableOrFieldIsAnErrorNamingIt) {
    const auto rooms = OpenDatabase(hotel.dir(), "NumeriCamere.mdb");
    struct Case {
        std::function<void()> action;
        std::string named;
    };
    const Case cases[] = {
        {[&] { OpenDatabase(hotel.dir(), "Inesistente.mdb"); }, "Inesistente.mdb"},
        {[&] { OpenDatabase(hotel.dir() / "nowhere", "Tableau.mdb"); }, "Tableau.mdb"},
        {[&] { rooms->openTable("Camere"); }, "Camere"},
        {[&] {
             rooms->select(SelectStatement{"NumeriCamere", Criteria("Piano = 1"), {}});
         },
         "Piano"},
        {[&] { rooms->openTable("NumeriCamere").field("Piano"); }, "Piano"},
        {[&] { rooms->openTable("NumeriCamere").sortedBy("Piano"); }, "Piano"},
        {[&] {
             rooms->select(SelectStatement{"NumeriCamere", Criteria("TipoCamera = 'L'A'"), {}});
         },
         "NumeriCamere"},
    };
    for (const auto& c : cases) {
        const std::string message = errorOf(c.action);
        EXPECT_NE(message.find(c.named), std::string::npos) << message;
    }

    test::writeFile(hotel.dir() / "Vecchio.mdb", std::string("Standard Jet DB\0\0\0", 18));
    EXPECT_NE(errorOf([&] { OpenDatabase(hotel.dir(), "Vecchio.mdb"); }).find("Vecchio.mdb"),
              std::string::npos);
    test::writeFile(hotel.dir() / "Vuoto.mdb", "");
    EXPECT_NE(errorOf([&] { OpenDatabase(hotel.dir(), "Vuoto.mdb"); }).find("Vuoto.mdb"),
              std::string::npos);
    std::string broken("SQLite format 3\0", 16);
    broken += std::string(4000, '\x7F');
    test::writeFile(hotel.dir() / "Rotto.mdb", broken);
    EXPECT_FALSE(
        errorOf([&] { OpenDatabase(hotel.dir(), "Rotto.mdb")->openTable("Rotto"); }).empty());
}

TEST_F(HotelDatabase, EndlessQueryIsGivenUpAfterThePatience) {
    db::writer::SqliteWriter(hotel.dir() / "Tableau.mdb")
        .exec(
            "DROP TABLE Tableau; CREATE VIEW Tableau AS WITH RECURSIVE n(x) AS "
            "(SELECT 1 UNION ALL SELECT x + 1 FROM n) "
            "SELECT x AS NumeroHotel, x AS Codice, 'a' AS Descrizione FROM n WHERE x < 0");
    const test::ScopedEnv patience("TABLEAU_ATTESA_JET", "0.5");
    const auto file = OpenDatabase(hotel.dir(), "Tableau.mdb");
    test::ScannedTable scanned;
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { file->openTable("Tableau"); }, [&] { file->summarize("Tableau"); },
             [&] { file->scanTable("Tableau", scanned); }}) {
        const auto start = std::chrono::steady_clock::now();
        const std::string message = errorOf(action);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_NE(message.find("Tableau.mdb"), std::string::npos) << message;
        EXPECT_NE(message.find("tabella Tableau"), std::string::npos) << message;
        EXPECT_NE(message.find("interrotta"), std::string::npos) << message;
    }
}

TEST_F(HotelDatabase, SelectWithASubQueryOnAnotherFile) {
    for (int n = 1; n <= 5; ++n) {
        hotel.add("Scheda_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                          {"NumeroPrenotazione", std::int64_t{n}},
                                          {"NomeCliente", "Cliente " + std::to_string(n)}});
    }
    hotel.add("Scheda_Prenotazione",
              {{"NumeroHotel", std::int64_t{1}}, {"NomeCliente", "Nessuna"}});
    const auto booking = [&](int n, const char* from, const char* to) {
        hotel.add("Camere_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                          {"NumeroPrenotazione", std::int64_t{n}},
                                          {"DataArrivo", from},
                                          {"DataPartenza", to}});
    };
    booking(4, "20260301", "20260306");
    booking(2, "20260220", "20260302");
    booking(5, "20260310", "20260312");
    booking(2, "20260301", "20260303");
    booking(1, "20260201", "20260301");  // leaves on the first day
    hotel.add("Camere_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                      {"DataArrivo", "20260301"},
                                      {"DataPartenza", "20260302"}});
    fs::rename(hotel.dir() / "Camere_Prenotazione.mdb", hotel.dir() / "CAMERE_PRENOTAZIONE.MDB");

    const auto headers = OpenDatabase(hotel.dir(), "Scheda_Prenotazione.mdb");
    SelectStatement week{"Scheda_Prenotazione", Criteria("NumeroHotel = 1"), {}};
    week.in =
        SelectStatement::SubqueryIn{"NumeroPrenotazione", "Camere_Prenotazione.mdb",
                                    "Camere_Prenotazione", "NumeroPrenotazione",
                                    Criteria("DataArrivo <= ? and DataPartenza > ?",
                                             {Value::text("20260307"), Value::text("20260301")})};
    RecordSet set = headers->select(week);
    EXPECT_EQ(walk(set, Criteria(""), "NomeCliente"), (Texts{"Cliente 2", "Cliente 4"}));

    week.in->file = "Manca.mdb";
    EXPECT_NE(errorOf([&] { headers->select(week); }).find("Manca.mdb"), std::string::npos);
    week.in->file = "Camere_Prenotazione.mdb";
    week.in->selectField = "Numero";
    EXPECT_NE(errorOf([&] { headers->select(week); }).find("Numero"), std::string::npos);
    week.in->selectField = "NumeroPrenotazione";
    week.in->table = "Camere";
    EXPECT_NE(errorOf([&] { headers->select(week); }).find("Camere"), std::string::npos);
}

TEST_F(HotelDatabase, ManyRowsSelectedAndReadBack) {
    db::writer::SqliteWriter writer(hotel.dir() / "Scheda_Cliente.mdb");
    writer.begin();
    for (int i = 0; i < 3000; ++i) {
        writer.insert("Scheda_Cliente", {"NumeroHotel", "NumeroCamera", "NumeroProgressivo"},
                      {std::int64_t{i % 3}, std::to_string(100 + i % 50), std::int64_t{i}});
    }
    writer.commit();
    const auto guests = OpenDatabase(hotel.dir(), "Scheda_Cliente.mdb");
    RecordSet set = guests->select(
        SelectStatement{"Scheda_Cliente", Criteria("NumeroHotel = ?", {Value::integer(1)}), {}});
    ASSERT_EQ(set.rowCount(), 1000u);
    const auto codes = walk(set, Criteria("NumeroCamera = '101'"), "NumeroProgressivo");
    ASSERT_EQ(codes.size(), 20u);
    EXPECT_EQ(codes.front(), "1");
    EXPECT_EQ(codes.back(), "2851");
}

// SQLite narrows the rows by integer comparisons before the criteria test them: what it
// keeps must include whatever the criteria select, whatever the stored types.
TEST_F(HotelDatabase, IntegerComparisonsSelectWhatTheCriteriaSelect) {
    const std::int64_t big = 9007199254740993;
    const std::vector<db::writer::Cell> codes = {std::int64_t{5},
                                                 std::int64_t{-5},
                                                 std::int64_t{0},
                                                 5.0,
                                                 5.5,
                                                 -0.0,
                                                 9007199254740992.0,
                                                 std::int64_t{big},
                                                 std::int64_t{big + 2},
                                                 "5",
                                                 "5.0",
                                                 " 5",
                                                 "abc",
                                                 "",
                                                 1e300};
    // The same values in a column of integer affinity and in one without affinity, where
    // numeric texts stay texts; the latter indexed, which must not change the rows' order.
    {
        db::writer::SqliteWriter writer(hotel.dir() / "Arrangiamento.mdb");
        writer.exec("CREATE TABLE Codici (NumeroHotel, CodiceCliente, Arrangiamento)");
        writer.exec("CREATE INDEX CodiciPerCliente ON Codici (CodiceCliente)");
        writer.begin();
        for (const char* table : {"Arrangiamento", "Codici"}) {
            for (std::size_t i = 0; i < codes.size(); ++i) {
                writer.insert(table, {"NumeroHotel", "CodiceCliente", "Arrangiamento"},
                              {std::int64_t{1}, codes[i], std::to_string(i)});
            }
            writer.insert(table, {"NumeroHotel", "Arrangiamento"}, {std::int64_t{1}, "null"});
        }
        writer.commit();
    }
    const auto file = OpenDatabase(hotel.dir(), "Arrangiamento.mdb");
    for (const std::string table : {"Arrangiamento", "Codici"}) {
        RecordSet whole = file->openTable(table);
        const std::vector<std::int64_t> bounds = {
            -5, 0, 4, 5, 6, big - 1, big, big + 1, std::int64_t{1} << 53};
        for (const char* text : {"CodiceCliente = ?", "CodiceCliente <> ?", "CodiceCliente < ?",
                                 "CodiceCliente <= ?", "CodiceCliente > ?", "CodiceCliente >= ?",
                                 "NumeroHotel = 1 and CodiceCliente >= ? and CodiceCliente <= 6"}) {
            for (const std::int64_t bound : bounds) {
                const Criteria criteria(text, {Value::integer(bound)});
                RecordSet selected = file->select(SelectStatement{table, criteria, {}});
                EXPECT_EQ(walk(selected, Criteria(""), "Arrangiamento"),
                          walk(whole, criteria, "Arrangiamento"))
                    << table << ": " << text << " with " << bound;
            }
        }
        // A list of codes equal as the criteria compare: the rows of
        // "CodiceCliente = a or CodiceCliente = b ...", numeric texts and reals among them.
        for (const std::vector<std::int64_t>& list : std::vector<std::vector<std::int64_t>>{
                 {5}, {-5, big}, {0, 4, 6, big + 1}, {std::int64_t{1} << 53}, {}}) {
            std::vector<Value> values;
            std::string text;
            for (const std::int64_t code : list) {
                values.push_back(Value::integer(code));
                text += (text.empty() ? "" : " or ") + std::string("CodiceCliente = ?");
            }
            const Criteria criteria(text.empty() ? "CodiceCliente = 1 and CodiceCliente = 2" : text,
                                    values);
            RecordSet selected = file->select(SelectStatement{
                table, Criteria(""), std::nullopt,
                SelectStatement::ValuesIn{"CodiceCliente", values, /*equalAsCriteria=*/true}});
            EXPECT_EQ(walk(selected, Criteria(""), "Arrangiamento"),
                      walk(whole, criteria, "Arrangiamento"))
                << table << ": " << text << " (" << list.size() << " codici)";
        }
    }
}

// The values of a sub-query narrow the rows by their range and list, far apart as they
// may be; other numbers and texts between them are not kept.
TEST_F(HotelDatabase, SubQueryValuesFarApartAndOfOtherTypes) {
    const std::vector<db::writer::Cell> numbers = {
        std::int64_t{-7}, std::int64_t{3}, 3.0, "3x", std::int64_t{100000},
        100000.5,         std::int64_t{50}};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        hotel.add("Scheda_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                          {"NumeroPrenotazione", numbers[i]},
                                          {"NomeCliente", "Cliente " + std::to_string(i)}});
    }
    for (const std::int64_t n : {std::int64_t{100000}, std::int64_t{-7}, std::int64_t{3}}) {
        hotel.add("Camere_Prenotazione", {{"NumeroHotel", std::int64_t{1}},
                                          {"NumeroPrenotazione", n},
                                          {"DataArrivo", "20260301"},
                                          {"DataPartenza", "20260302"}});
    }
    const auto headers = OpenDatabase(hotel.dir(), "Scheda_Prenotazione.mdb");
    RecordSet set = headers->select(
        SelectStatement{"Scheda_Prenotazione", Criteria(""),
                        SelectStatement::SubqueryIn{"NumeroPrenotazione", "Camere_Prenotazione.mdb",
                                                    "Camere_Prenotazione", "NumeroPrenotazione",
                                                    Criteria("DataArrivo = '20260301'")}});
    EXPECT_EQ(walk(set, Criteria(""), "NomeCliente"),
              (Texts{"Cliente 0", "Cliente 1", "Cliente 2", "Cliente 4"}));

    // The same values given directly select the same rows; a null among them matches
    // nothing, and no value at all selects no row.
    const SelectStatement::ValuesIn values{
        "NumeroPrenotazione",
        {Value::integer(100000), Value(), Value::integer(-7), Value::integer(3)}};
    RecordSet direct =
        headers->select(SelectStatement{"Scheda_Prenotazione", Criteria(""), std::nullopt, values});
    EXPECT_EQ(walk(direct, Criteria(""), "NomeCliente"), walk(set, Criteria(""), "NomeCliente"));
    RecordSet none =
        headers->select(SelectStatement{"Scheda_Prenotazione", Criteria(""), std::nullopt,
                                        SelectStatement::ValuesIn{"NumeroPrenotazione", {}}});
    EXPECT_TRUE(walk(none, Criteria(""), "NomeCliente").empty());
}

}  // namespace
}  // namespace tableau::db::sqlite
