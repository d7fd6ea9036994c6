// The check of the data directory: every file, table and field the program reads.
#include "chart/data_directory_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/sqlite_writer.h"
#include "support/hotel_fixture.h"

namespace tableau {
namespace {

bool Contiene(const std::vector<std::string>& righe, const std::string& parte) {
    for (const auto& riga : righe) {
        if (riga.find(parte) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(VerificaArchivi, CompleteDirectoryHasNoProblem) {
    test::HotelFixture fx;
    fx.hotel(1, "Hotel");
    EXPECT_EQ(VerificaArchivi(fx.dir()), std::vector<std::string>{});
}

TEST(VerificaArchivi, OneLinePerMissingFileTableOrField) {
    test::HotelFixture fx;
    std::filesystem::remove(fx.dir() / "Arrangiamento.mdb");
    db::SqliteWriter(fx.dir() / "Stampanti.mdb").exec("DROP TABLE SetStampa");
    {
        db::SqliteWriter tableau(fx.dir() / "Tableau.mdb");
        tableau.exec("DROP TABLE Tableau");
        tableau.exec("CREATE TABLE Tableau (NumeroHotel INTEGER, Codice INTEGER)");
        db::SqliteWriter camere(fx.dir() / "NumeriCamere.mdb");
        camere.exec("DROP TABLE NumeriCamere");
        camere.exec("CREATE TABLE NumeriCamere (NumeroHotel INTEGER, NumeroCamera TEXT)");
    }
    test::writeFile(fx.dir() / "Contatori.mdb", "not a database");

    const auto problemi = VerificaArchivi(fx.dir());
    ASSERT_EQ(problemi.size(), 7u) << ::testing::PrintToString(problemi);
    EXPECT_TRUE(Contiene(problemi, "Arrangiamento.mdb non trovato"));
    EXPECT_TRUE(Contiene(problemi, "SetStampa"));
    EXPECT_TRUE(Contiene(problemi, "Descrizione"));
    EXPECT_TRUE(Contiene(problemi, "NumeroTableau"));
    EXPECT_TRUE(Contiene(problemi, "TipoCamera"));
    EXPECT_TRUE(Contiene(problemi, "PostiLetto"));
    EXPECT_TRUE(Contiene(problemi, "Contatori.mdb"));
    EXPECT_FALSE(Contiene(problemi, "Stampanti\"")) << "the other table of the file is there";
}

}  // namespace
}  // namespace tableau
