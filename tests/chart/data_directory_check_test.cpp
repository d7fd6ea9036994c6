// The check of the data directory: every file, table and field the program reads.
#include "chart/data_directory_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/hotel_schema.h"
#include "db/server/server_sync.h"
#include "db/writer/jet_writer.h"
#include "db/writer/sqlite_writer.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace tableau::chart {
namespace {

namespace fs = std::filesystem;
using db::DatabaseFormat;

bool Contiene(const std::vector<std::string>& righe, const std::string& parte) {
    for (const auto& riga : righe) {
        if (riga.find(parte) != std::string::npos) {
            return true;
        }
    }
    return false;
}

const RapportoArchivi::Archivio& Archivio(const RapportoArchivi& rapporto,
                                          const std::string& nome) {
    for (const auto& archivio : rapporto.archivi) {
        if (archivio.nome == nome) {
            return archivio;
        }
    }
    throw std::out_of_range("archivio assente dal rapporto: " + nome);
}

const RapportoArchivi::Tabella& Tabella(const RapportoArchivi& rapporto, const std::string& file,
                                        const std::string& nome) {
    for (const auto& tabella : Archivio(rapporto, file).tabelle) {
        if (tabella.nome == nome) {
            return tabella;
        }
    }
    throw std::out_of_range("tabella assente dal rapporto: " + nome);
}

std::vector<std::string> CampiMancanti(const RapportoArchivi::Tabella& tabella) {
    std::vector<std::string> mancanti;
    for (const auto& campo : tabella.campi) {
        if (!campo.presente) {
            mancanti.push_back(campo.nome);
        }
    }
    return mancanti;
}

void CopiaJet(const fs::path& destinazione, std::size_t byte = 0) {
    const std::string contenuto = test::readFile(test::testData("jet/nwind.mdb"));
    test::writeFile(destinazione, byte == 0 ? contenuto : contenuto.substr(0, byte));
}

TEST(VerificaArchivi, CompleteDirectoryReportsEveryFileTableAndField) {
    test::HotelFixture fx;
    fx.hotel(1, "Hotel");
    fx.hotel(2, "Pensione");
    fx.tableau(1, 1, "Piano terra");
    fx.camera(1, 1, "101", "DOP", 2);
    fx.camera(1, 1, "102", "DOP", 2);
    fx.camera(1, 1, "103", "SIN", 1);

    const auto rapporto = RapportoVerificaArchivi(fx.dir());

    // Every file once, in schema order; every table of the schema under its own file.
    std::vector<std::string> file;
    std::size_t tabelle = 0;
    for (const auto& archivio : rapporto.archivi) {
        file.push_back(archivio.nome);
        EXPECT_EQ(archivio.formato, DatabaseFormat::Sqlite) << archivio.nome;
        EXPECT_EQ(archivio.errore, "") << archivio.nome;
        for (const auto& tabella : archivio.tabelle) {
            ++tabelle;
            EXPECT_EQ(db::tableDescription(tabella.nome).file, archivio.nome);
            EXPECT_TRUE(tabella.righe.has_value()) << tabella.nome << ": " << tabella.errore;
            EXPECT_EQ(tabella.campi.size(), db::tableDescription(tabella.nome).columns.size());
            EXPECT_EQ(CampiMancanti(tabella), std::vector<std::string>{}) << tabella.nome;
        }
    }
    std::vector<std::string> attesi;
    for (const auto& descrizione : db::hotelSchema()) {
        if (attesi.empty() || attesi.back() != descrizione.file) {
            attesi.emplace_back(descrizione.file);
        }
    }
    EXPECT_EQ(file, attesi);
    EXPECT_EQ(tabelle, db::hotelSchema().size());
    ASSERT_EQ(Archivio(rapporto, "Stampanti.mdb").tabelle.size(), 2u);

    EXPECT_EQ(Tabella(rapporto, "AnagraficaHotels.mdb", "AnagraficaHotels").righe, 2u);
    EXPECT_EQ(Tabella(rapporto, "Tableau.mdb", "Tableau").righe, 1u);
    EXPECT_EQ(Tabella(rapporto, "NumeriCamere.mdb", "NumeriCamere").righe, 3u);
    EXPECT_EQ(Tabella(rapporto, "Contatori.mdb", "Contatori").righe, 0u);

    EXPECT_EQ(rapporto.problemi(), std::vector<std::string>{});
    EXPECT_EQ(VerificaArchivi(fx.dir()), std::vector<std::string>{});
}

TEST(VerificaArchivi, FieldsMatchWithoutRegardToLetterCase) {
    test::HotelFixture fx;
    {
        db::writer::SqliteWriter tableau(fx.dir() / "Tableau.mdb");
        tableau.exec("DROP TABLE Tableau");
        tableau.exec(
            "CREATE TABLE Tableau (numerohotel INTEGER, CODICE INTEGER, Descrizione TEXT, "
            "Altro TEXT)");
    }
    const auto rapporto = RapportoVerificaArchivi(fx.dir());
    const auto& tabella = Tabella(rapporto, "Tableau.mdb", "Tableau");
    ASSERT_EQ(tabella.campi.size(), 3u) << "only the fields the program reads";
    EXPECT_EQ(tabella.campi[0].nome, "NumeroHotel") << "named as the program spells them";
    EXPECT_EQ(CampiMancanti(tabella), std::vector<std::string>{});
    EXPECT_EQ(rapporto.problemi(), std::vector<std::string>{});
}

TEST(VerificaArchivi, OneReportNamesEveryMissingFileTableOrField) {
    test::HotelFixture fx;
    fs::remove(fx.dir() / "Arrangiamento.mdb");
    db::writer::SqliteWriter(fx.dir() / "Stampanti.mdb").exec("DROP TABLE SetStampa");
    fx.add("Stampanti", {{"NumeroHotel", std::int64_t{1}}});
    {
        db::writer::SqliteWriter tableau(fx.dir() / "Tableau.mdb");
        tableau.exec("DROP TABLE Tableau");
        tableau.exec("CREATE TABLE Tableau (NumeroHotel INTEGER, Codice INTEGER)");
        db::writer::SqliteWriter camere(fx.dir() / "NumeriCamere.mdb");
        camere.exec("DROP TABLE NumeriCamere");
        camere.exec("CREATE TABLE NumeriCamere (NumeroHotel INTEGER, NumeroCamera TEXT)");
    }
    test::writeFile(fx.dir() / "Contatori.mdb", "not a database");

    const auto rapporto = RapportoVerificaArchivi(fx.dir());

    const auto& arrangiamento = Archivio(rapporto, "Arrangiamento.mdb");
    EXPECT_FALSE(arrangiamento.formato.has_value());
    EXPECT_NE(arrangiamento.errore.find("non trovato"), std::string::npos) << arrangiamento.errore;
    EXPECT_TRUE(arrangiamento.tabelle.empty());
    // The check goes on with the next file.
    EXPECT_EQ(Archivio(rapporto, "Arrangiamenti.mdb").formato, DatabaseFormat::Sqlite);

    const auto& contatori = Archivio(rapporto, "Contatori.mdb");
    EXPECT_FALSE(contatori.formato.has_value());
    EXPECT_NE(contatori.errore.find("formato non riconosciuto"), std::string::npos)
        << contatori.errore;

    // The other table of the file is read.
    EXPECT_EQ(Tabella(rapporto, "Stampanti.mdb", "Stampanti").righe, 1u);
    const auto& setStampa = Tabella(rapporto, "Stampanti.mdb", "SetStampa");
    EXPECT_FALSE(setStampa.righe.has_value());
    EXPECT_NE(setStampa.errore.find("SetStampa"), std::string::npos) << setStampa.errore;
    EXPECT_TRUE(setStampa.campi.empty());

    EXPECT_EQ(CampiMancanti(Tabella(rapporto, "Tableau.mdb", "Tableau")),
              std::vector<std::string>{"Descrizione"});
    EXPECT_EQ(CampiMancanti(Tabella(rapporto, "NumeriCamere.mdb", "NumeriCamere")),
              (std::vector<std::string>{"NumeroTableau", "TipoCamera", "PostiLetto"}));

    const auto problemi = rapporto.problemi();
    ASSERT_EQ(problemi.size(), 7u) << ::testing::PrintToString(problemi);
    EXPECT_TRUE(Contiene(problemi, "Arrangiamento.mdb non trovato"));
    EXPECT_TRUE(Contiene(problemi, "SetStampa"));
    EXPECT_TRUE(Contiene(problemi, "Tableau.mdb: Campo \"Descrizione\""));
    EXPECT_TRUE(Contiene(problemi, "NumeriCamere.mdb: Campo \"NumeroTableau\""));
    EXPECT_TRUE(Contiene(problemi, "Campo \"TipoCamera\" non trovato nella tabella NumeriCamere"));
    EXPECT_TRUE(Contiene(problemi, "PostiLetto"));
    EXPECT_TRUE(Contiene(problemi, "Contatori.mdb"));
    EXPECT_FALSE(Contiene(problemi, "Stampanti\"")) << "the other table of the file is there";
    EXPECT_EQ(VerificaArchivi(fx.dir()), problemi);
}

TEST(VerificaArchivi, FilesThatAreNoFilesOrCannotBeReadSayWhyAndTheCheckGoesOn) {
    test::HotelFixture fx;
    fs::remove(fx.dir() / "Contatori.mdb");
    fs::create_symlink("Contatori.mdb", fx.dir() / "Contatori.mdb");  // a loop
    fs::remove(fx.dir() / "Tableau.mdb");
    fs::create_directory(fx.dir() / "Tableau.mdb");
    fs::remove(fx.dir() / "Stampanti.mdb");
    ASSERT_EQ(::mkfifo((fx.dir() / "Stampanti.mdb").c_str(), 0600), 0);

    const auto rapporto = RapportoVerificaArchivi(fx.dir());
    const auto& contatori = Archivio(rapporto, "Contatori.mdb").errore;
    EXPECT_NE(contatori.find("collegamenti simbolici"), std::string::npos) << contatori;
    EXPECT_EQ(contatori.find("filesystem"), std::string::npos) << contatori;
    const auto& tableau = Archivio(rapporto, "Tableau.mdb").errore;
    EXPECT_NE(tableau.find("non \xC3\xA8 un file ma una cartella"), std::string::npos) << tableau;
    const auto& stampanti = Archivio(rapporto, "Stampanti.mdb").errore;
    EXPECT_NE(stampanti.find("non \xC3\xA8 un file ma una pipe"), std::string::npos) << stampanti;
    EXPECT_EQ(Archivio(rapporto, "NumeriCamere.mdb").formato, DatabaseFormat::Sqlite);
    EXPECT_EQ(Archivio(rapporto, "Arrangiamenti.mdb").formato, DatabaseFormat::Sqlite);

    // A file the user may not read; the check runs as a user without rights to it.
    fs::permissions(fx.dir() / "Arrangiamento.mdb", fs::perms::none);
    fs::permissions(fx.dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                std::_Exit(3);
            }
            std::cerr << Archivio(RapportoVerificaArchivi(fx.dir()), "Arrangiamento.mdb").errore;
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "Arrangiamento.mdb: permesso negato");
}

TEST(VerificaArchivi, JetFileIsReadWithItsFormat) {
    test::HotelFixture fx;
    CopiaJet(fx.dir() / "Contatori.mdb");

    const auto rapporto = RapportoVerificaArchivi(fx.dir());
    const auto& contatori = Archivio(rapporto, "Contatori.mdb");
    EXPECT_EQ(contatori.formato, DatabaseFormat::Jet3) << contatori.errore;
    ASSERT_EQ(contatori.tabelle.size(), 1u);
    EXPECT_FALSE(contatori.tabelle[0].righe.has_value());
    EXPECT_NE(contatori.tabelle[0].errore.find("Contatori"), std::string::npos);

    const auto problemi = rapporto.problemi();
    ASSERT_EQ(problemi.size(), 1u) << ::testing::PrintToString(problemi);
    EXPECT_TRUE(Contiene(problemi, "Contatori.mdb"));
}

TEST(VerificaArchivi, DamagedJetFileIsReportedAndTheCheckGoesOn) {
    test::HotelFixture fx;
    CopiaJet(fx.dir() / "Tableau.mdb", 3000);

    const auto rapporto = RapportoVerificaArchivi(fx.dir());
    const auto& tableau = Archivio(rapporto, "Tableau.mdb");
    // Damage may show when the file is opened or when its table is read.
    const std::string errore = tableau.formato ? tableau.tabelle.at(0).errore : tableau.errore;
    EXPECT_NE(errore.find("Tableau.mdb"), std::string::npos) << errore;
    EXPECT_EQ(Archivio(rapporto, "NumeriCamere.mdb").formato, DatabaseFormat::Sqlite);
    EXPECT_EQ(Tabella(rapporto, "Contatori.mdb", "Contatori").righe, 0u);

    const auto problemi = rapporto.problemi();
    ASSERT_EQ(problemi.size(), 1u) << ::testing::PrintToString(problemi);
    EXPECT_EQ(problemi[0], errore);
}

TEST(VerificaArchivi, RowsLostToADamagedPageAreReported) {
    // A Jet file whose last data page lost its rows still opens and reads: libmdb skips
    // the page without a word. The count the table declares gives it away.
    test::HotelFixture fx;
    for (int camera = 1; camera <= 300; ++camera) {
        fx.camera(1, 1, std::to_string(1000 + camera), "DBL", 2);
    }
    const fs::path sqlite = fx.dir() / "NumeriCamere.sqlite";
    fs::rename(fx.dir() / "NumeriCamere.mdb", sqlite);
    db::writer::ConvertHotelFileToJet(sqlite, fx.dir() / "NumeriCamere.mdb");
    fs::remove(sqlite);
    EXPECT_EQ(VerificaArchivi(fx.dir()), std::vector<std::string>{}) << "the sound file";

    std::string bytes = test::readFile(fx.dir() / "NumeriCamere.mdb");
    std::size_t lastDataPage = 0;
    for (std::size_t page = 4096; page + 4096 <= bytes.size(); page += 4096) {
        // A data page (01 01) of a table other than the catalog, whose definition is page 2.
        const bool catalog = bytes[page + 4] == 2 && bytes[page + 5] == 0 && bytes[page + 6] == 0 &&
                             bytes[page + 7] == 0;
        if (bytes[page] == 0x01 && bytes[page + 1] == 0x01 && !catalog) {
            lastDataPage = page;
        }
    }
    ASSERT_GT(lastDataPage, 0u);
    bytes[lastDataPage + 12] = 0;  // the page's row count
    bytes[lastDataPage + 13] = 0;
    test::writeFile(fx.dir() / "NumeriCamere.mdb", bytes);

    const auto rapporto = RapportoVerificaArchivi(fx.dir());
    const auto& camere = Tabella(rapporto, "NumeriCamere.mdb", "NumeriCamere");
    ASSERT_TRUE(camere.righe.has_value()) << camere.errore;
    EXPECT_LT(*camere.righe, 300u);
    EXPECT_EQ(camere.righeDichiarate, 300u);
    const auto problemi = rapporto.problemi();
    ASSERT_EQ(problemi.size(), 1u) << ::testing::PrintToString(problemi);
    EXPECT_TRUE(Contiene(problemi,
                         "l'archivio ne dichiara 300: l'archivio potrebbe essere "
                         "danneggiato"));
}

TEST(VerificaArchivi, TheHotelTablesOfTheServerAndTheWorkstationsOwnFiles) {
    TABLEAU_RICHIEDE_SERVER();
    test::HotelFixture hotel;
    hotel.hotel(1, "Albergo");
    test::SchemaDiProva schema;
    {
        db::server::ServerConnection c(test::ServerPrimario());
        db::server::SyncToServer(hotel.dir(), c, schema.nome(), {});
    }
    test::EseguiSulPrimario("ALTER TABLE " + schema.nome() +
                            ".\"Tableau\" DROP COLUMN \"Descrizione\"");
    fs::remove(hotel.dir() / "Tableau.mdb");  // the server's table is read, not the file
    db::DataSource server(hotel.dir(), db::ServerSetting{test::ServerPrimario(), schema.nome()});
    const RapportoArchivi rapporto = RapportoVerificaArchivi(server);
    EXPECT_EQ(Archivio(rapporto, "AnagraficaHotels.mdb").formato, DatabaseFormat::Server);
    EXPECT_EQ(Archivio(rapporto, "AnagraficaHotels.mdb").tabelle.at(0).righe, 1u);
    EXPECT_EQ(Archivio(rapporto, "Stampanti.mdb").formato, DatabaseFormat::Sqlite);
    EXPECT_EQ(rapporto.problemi(),
              (std::vector<std::string>{"Tableau.mdb: Campo \"Descrizione\" non trovato nella "
                                        "tabella Tableau"}));
}

}  // namespace
}  // namespace tableau::chart
