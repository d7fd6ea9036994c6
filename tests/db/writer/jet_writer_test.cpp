// The Jet files the writer makes are read back with the mdbtools command-line tools, which
// read through libmdb as the program does.
#include "db/writer/jet_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/writer/sqlite_writer.h"
#include "support/temp_dir.h"

namespace tableau::db::writer {
namespace {

namespace fs = std::filesystem;
using Type = writer::JetColumn::Type;
using test::readFile;
using test::TempDir;

// The standard output of a command; fails the test when the command fails.
std::string run(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string out;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    return out;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

std::string exportOf(const fs::path& file, const std::string& table) {
    return run("mdb-export " + quoted(file) + " " + table);
}

std::string firstAndLastLines(const std::string& text) {
    const auto firstEnd = text.find('\n', text.find('\n') + 1);
    const auto lastStart = text.rfind('\n', text.size() - 2);
    return text.substr(0, firstEnd + 1) + "..." + text.substr(lastStart);
}

class JetWriter : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::system("command -v mdb-export mdb-schema mdb-tables mdb-count mdb-ver "
                        ">/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "the mdbtools programs are not installed";
        }
    }

    TempDir dir;
};

TEST_F(JetWriter, MixedTableReadsBackExactly) {
    const fs::path file = dir / "Misto.mdb";
    writer::JetTable table{"Misto",
                           {{"Numero", Type::Long},
                            {"Nome", Type::Text},
                            {"Importo", Type::Double},
                            {"Note", Type::Text}},
                           {}};
    table.rows = {
        {std::int64_t{1}, std::string("àèéìòù €’"), 12.5, std::string("L'hotel \"Sole\", sì")},
        {std::int64_t{-2147483648LL}, {}, {}, std::string("solo note")},
        {{}, std::string("ÀÈÉÌÒÙ"), 0.25, {}},
        {std::int64_t{2147483647}, std::string(255, 'z'), -1e20, std::string("fine")},
        {std::int64_t{0}, std::string("a,b;c\td"), std::int64_t{7}, std::string("")},
    };
    writer::WriteJetFile(file, {table});

    EXPECT_EQ(run("mdb-ver " + quoted(file)), "JET4\n");
    EXPECT_EQ(run("mdb-tables -1 " + quoted(file)), "Misto\n");
    const std::string schema = run("mdb-schema " + quoted(file));
    EXPECT_NE(schema.find("CREATE TABLE [Misto]\n (\n\t[Numero]\t\t\tLong Integer, \n"
                          "\t[Nome]\t\t\tText (255), \n\t[Importo]\t\t\tDouble, \n"
                          "\t[Note]\t\t\tText (255)\n);"),
              std::string::npos)
        << schema;
    EXPECT_EQ(exportOf(file, "Misto"),
              "Numero,Nome,Importo,Note\n"
              "1,\"àèéìòù €’\",12.5,\"L'hotel \"\"Sole\"\", sì\"\n"
              "-2147483648,,,\"solo note\"\n"
              ",\"ÀÈÉÌÒÙ\",0.25,\n"
              "2147483647,\"" +
                  std::string(255, 'z') +
                  "\",-1e+20,\"fine\"\n"
                  "0,\"a,b;c\td\",7,\n");

    // The same tables give the same bytes.
    const fs::path again = dir / "Misto2.mdb";
    writer::WriteJetFile(again, {table});
    EXPECT_EQ(readFile(file), readFile(again));
}

TEST_F(JetWriter, HundredThousandRowsSpanManyPagesInOrder) {
    writer::JetTable table{"Scheda_Cliente", {}, {}};
    for (const auto& [name, type] :
         std::vector<std::pair<const char*, Type>>{{"NumeroHotel", Type::Long},
                                                   {"NumeroCamera", Type::Text},
                                                   {"DataArrivo", Type::Text},
                                                   {"DataPartenza", Type::Text},
                                                   {"Partito", Type::Text},
                                                   {"NumeroProgressivo", Type::Long},
                                                   {"NumeroComponente", Type::Long},
                                                   {"CodiceCapoFamiglia", Type::Long},
                                                   {"CodiceCapoGruppo", Type::Long},
                                                   {"NomeCliente", Type::Text},
                                                   {"Nazione", Type::Text},
                                                   {"Tariffa", Type::Double},
                                                   {"Arrangiamento", Type::Text},
                                                   {"Persone", Type::Long},
                                                   {"Note", Type::Text}}) {
        table.columns.push_back({name, type});
    }
    constexpr int kRows = 100000;
    std::string expected =
        "NumeroHotel,NumeroCamera,DataArrivo,DataPartenza,Partito,NumeroProgressivo,"
        "NumeroComponente,CodiceCapoFamiglia,CodiceCapoGruppo,NomeCliente,Nazione,Tariffa,"
        "Arrangiamento,Persone,Note\n";
    for (int i = 0; i < kRows; ++i) {
        const std::string room = std::to_string(100 + i % 400);
        const std::string name = "Cliente N° " + std::to_string(i) + " d'Aosta";
        const bool gone = i % 3 == 0;
        table.rows.push_back(
            {std::int64_t{1 + i % 2}, room, std::string("20240115"), std::string("20240118"),
             gone ? writer::Cell{std::string("S")} : writer::Cell{}, std::int64_t{i},
             std::int64_t{i % 4}, std::int64_t{i - i % 4}, writer::Cell{}, name,
             std::string("Italia"), 80.5 + i % 7, std::string("MP"), std::int64_t{2},
             i % 5 ? writer::Cell{} : writer::Cell{room}});
        expected += std::to_string(1 + i % 2) + ",\"" + room + "\",\"20240115\",\"20240118\"," +
                    (gone ? "\"S\"" : "") + "," + std::to_string(i) + "," + std::to_string(i % 4) +
                    "," + std::to_string(i - i % 4) + ",,\"" + name + "\",\"Italia\"," +
                    std::to_string(80 + i % 7) + ".5,\"MP\",2," +
                    (i % 5 ? "" : "\"" + room + "\"") + "\n";
    }
    const fs::path file = dir / "Scheda_Cliente.mdb";
    writer::WriteJetFile(file, {table});

    // More pages than an inline usage map covers.
    EXPECT_GT(fs::file_size(file) / 4096, 512u);
    EXPECT_EQ(run("mdb-count " + quoted(file) + " Scheda_Cliente"), "100000\n");
    const std::string csv = exportOf(file, "Scheda_Cliente");
    EXPECT_EQ(firstAndLastLines(csv), firstAndLastLines(expected));
    EXPECT_TRUE(csv == expected) << "the export differs from the rows written";
}

TEST_F(JetWriter, SeveralTablesShareOneFile) {
    const fs::path file = dir / "Stampanti.mdb";
    writer::WriteJetFile(
        file, {{"Stampanti",
                {{"NumeroHotel", Type::Long},
                 {"Destinazione", Type::Text},
                 {"TipoStampa", Type::Long},
                 {"Linea", Type::Text}},
                {{std::int64_t{1}, std::string("/dev/lp0"), std::int64_t{2}, {}},
                 {std::int64_t{2}, std::string("Ufficio"), {}, std::string("LPT1")}}},
               {"SetStampa",
                {{"TipoStampa", Type::Long}, {"Compresso", Type::Text}, {"Grassetto", Type::Text}},
                {{std::int64_t{2}, std::string("\x1b\x0f"),
                  std::string("\x1b"
                              "E")}}},
               {"Vuota", {{"Numero", Type::Long}}, {}}});

    EXPECT_EQ(run("mdb-tables -1 " + quoted(file)), "Stampanti\nSetStampa\nVuota\n");
    EXPECT_EQ(exportOf(file, "Stampanti"),
              "NumeroHotel,Destinazione,TipoStampa,Linea\n"
              "1,\"/dev/lp0\",2,\n"
              "2,\"Ufficio\",,\"LPT1\"\n");
    EXPECT_EQ(exportOf(file, "SetStampa"),
              "TipoStampa,Compresso,Grassetto\n2,\"\x1b\x0f\",\"\x1b"
              "E\"\n");
    EXPECT_EQ(exportOf(file, "Vuota"), "Numero\n");
}

TEST_F(JetWriter, ConvertsASqliteHotelFileInRowidOrder) {
    const fs::path sqlite = dir / "sqlite.mdb";
    {
        writer::SqliteWriter writer(sqlite);
        writer.createTable("Stampanti");
        writer.createTable("SetStampa");
        // Inserted out of rowid order.
        writer.exec(
            "INSERT INTO Stampanti (rowid, NumeroHotel, Destinazione, TipoStampa, Linea) "
            "VALUES (5, 2, 'Reception ''B''', 1, NULL)");
        writer.insert("SetStampa", {"TipoStampa", "Compresso", "Grassetto"},
                      {std::int64_t{1}, std::string("€"), writer::Cell{}});
        writer.exec(
            "INSERT INTO Stampanti (rowid, NumeroHotel, Destinazione, TipoStampa, Linea) "
            "VALUES (2, 1, 'Cassa è \"1\"', NULL, 'L1')");
    }
    const fs::path jet = dir / "Stampanti.mdb";
    writer::ConvertHotelFileToJet(sqlite, jet);

    EXPECT_EQ(run("mdb-tables -1 " + quoted(jet)), "Stampanti\nSetStampa\n");
    EXPECT_EQ(exportOf(jet, "Stampanti"),
              "NumeroHotel,Destinazione,TipoStampa,Linea\n"
              "1,\"Cassa è \"\"1\"\"\",,\"L1\"\n"
              "2,\"Reception 'B'\",1,\n");
    EXPECT_EQ(exportOf(jet, "SetStampa"), "TipoStampa,Compresso,Grassetto\n1,\"€\",\n");
    const std::string schema = run("mdb-schema " + quoted(jet));
    EXPECT_NE(schema.find("[TipoStampa]\t\t\tLong Integer"), std::string::npos) << schema;
    EXPECT_NE(schema.find("[Linea]\t\t\tText (255)"), std::string::npos) << schema;

    const fs::path empty = dir / "empty.sqlite";
    writer::SqliteWriter(empty).exec("CREATE TABLE Altro (x INTEGER)");
    EXPECT_THROW(writer::ConvertHotelFileToJet(empty, dir / "Altro.mdb"), std::runtime_error);
}

TEST_F(JetWriter, RefusesValuesThatDoNotFitAndKeepsTheOldFile) {
    const fs::path file = dir / "T.mdb";
    writer::WriteJetFile(file, {{"T", {{"N", Type::Long}}, {{std::int64_t{1}}}}});
    const std::string before = readFile(file);

    const auto write = [&](Type type, writer::Cell value) {
        writer::WriteJetFile(file, {{"T", {{"N", type}}, {{std::move(value)}}}});
    };
    EXPECT_THROW(write(Type::Long, std::int64_t{2147483648LL}), std::runtime_error);
    EXPECT_THROW(write(Type::Long, std::int64_t{-2147483649LL}), std::runtime_error);
    EXPECT_THROW(write(Type::Long, std::string("1")), std::runtime_error);
    EXPECT_THROW(write(Type::Long, 1.5), std::runtime_error);
    EXPECT_THROW(write(Type::Text, std::string(256, 'a')), std::runtime_error);
    EXPECT_THROW(write(Type::Text, std::string("\xF0\x9F\x98\x80")), std::runtime_error);
    EXPECT_THROW(write(Type::Text, std::string("\xC3")), std::runtime_error);
    EXPECT_THROW(write(Type::Text, std::int64_t{1}), std::runtime_error);
    EXPECT_THROW(write(Type::Double, std::string("1")), std::runtime_error);
    // 255 characters in accented letters still fit.
    std::string accents;
    for (int i = 0; i < 255; ++i) {
        accents += "è";
    }
    EXPECT_NO_THROW(write(Type::Text, accents));
    writer::WriteJetFile(file, {{"T", {{"N", Type::Long}}, {{std::int64_t{1}}}}});

    // A row larger than a page.
    writer::JetTable wide{"Wide", {}, {}};
    wide.rows.emplace_back();
    for (int i = 0; i < 9; ++i) {
        wide.columns.push_back({"T" + std::to_string(i), Type::Text});
        wide.rows[0].emplace_back(std::string(255, 'x'));
    }
    EXPECT_THROW(writer::WriteJetFile(file, {wide}), std::runtime_error);
    // Names: repeated, empty, the catalog's own.
    EXPECT_THROW(writer::WriteJetFile(
                     file, {{"A", {{"N", Type::Long}}, {}}, {"a", {{"N", Type::Long}}, {}}}),
                 std::runtime_error);
    EXPECT_THROW(writer::WriteJetFile(file, {{"", {{"N", Type::Long}}, {}}}), std::runtime_error);
    EXPECT_THROW(writer::WriteJetFile(file, {{"MSysObjects", {{"N", Type::Long}}, {}}}),
                 std::runtime_error);
    EXPECT_THROW(writer::WriteJetFile(file, {{"A", {{"N", Type::Long}, {"n", Type::Text}}, {}}}),
                 std::runtime_error);
    // A row with a value missing.
    EXPECT_THROW(writer::WriteJetFile(
                     file, {{"A", {{"N", Type::Long}, {"M", Type::Long}}, {{std::int64_t{1}}}}}),
                 std::runtime_error);

    EXPECT_EQ(readFile(file), before);
}

}  // namespace
}  // namespace tableau::db::writer
