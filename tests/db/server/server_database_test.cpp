// The hotel tables read from a schema of the server: every select gives the rows the file
// gives, in the file's order, whatever the server narrows; the schema, table or field
// missing is named with the server; the roles of a site read as they may.
#include "db/server/server_database.h"

#include <gtest/gtest.h>

#include "db/data_source.h"
#include "db/errors.h"
#include "db/server/copy_text.h"
#include "db/server/server_sync.h"
#include "db/writer/sqlite_writer.h"
#include "support/hotel_fixture.h"
#include "support/test_server.h"

namespace tableau::db::server {
namespace {

using test::EseguiSulPrimario;
using test::HotelFixture;
using test::SchemaDiProva;
using test::ServerPrimario;

// The rows of a record set, each value with its kind: the same rows from a file and from the
// server print the same.
std::vector<std::string> Stampa(const RecordSet& rs) {
    std::vector<std::string> righe;
    for (const auto& row : rs.rows()) {
        std::string riga;
        for (const Value& v : row) {
            riga += v.isNull()      ? "null"
                    : v.isInteger() ? "i" + v.asText()
                    : v.isReal()    ? "r" + RealText(v.asNumber())
                                    : "t'" + v.textRef() + "'";
            riga += ' ';
        }
        righe.push_back(riga);
    }
    return righe;
}

void Sincronizza(const std::filesystem::path& cartella, const std::string& schema) {
    ServerConnection c(ServerPrimario());
    SyncToServer(cartella, c, schema, {});
}

// Guests whose rooms and names compare differently by bytes and by the Italian collation,
// read as numbers or not, empty or null; a field of reals.
void OspitiVari(HotelFixture& fx) {
    {
        writer::SqliteWriter w(fx.dir() / "Scheda_Cliente.mdb");
        w.exec("ALTER TABLE Scheda_Cliente ADD COLUMN Sconto REAL");
    }
    const std::vector<std::string> camere = {
        "a10", "B2", "\xC3\xA4", "101", "0101", "101.0", "", "A\xE2\x82\xAC", "z\xE2\x80\x99", "b"};
    std::int64_t n = 0;
    for (const auto& camera : camere) {
        ++n;
        fx.add(
            "Scheda_Cliente",
            {{"NumeroHotel", n % 3 == 0 ? writer::Cell{} : writer::Cell{n % 2 + 1}},
             {"NumeroCamera", camera},
             {"DataArrivo", std::string(n % 2 ? "20260310" : "20260320")},
             {"DataPartenza", std::string(n % 4 ? "20260318" : "2026031\xC3\xA9")},
             {"NumeroProgressivo", n},
             {"NomeCliente", n == 4 ? writer::Cell{} : writer::Cell{"Ren\xC3\xA9" + camera}},
             {"Sconto", n % 5 == 0 ? writer::Cell{} : writer::Cell{0.1 * static_cast<double>(n)}}});
    }
    fx.add("Scheda_Cliente",
           {{"NumeroCamera", writer::Cell{}}, {"NumeroProgressivo", std::int64_t{3}}});
    fx.add("Camere_Prenotazione",
           {{"NumeroPrenotazione", std::int64_t{2}}, {"DataArrivo", std::string("20260301")}});
    fx.add("Camere_Prenotazione",
           {{"NumeroPrenotazione", std::int64_t{7}}, {"DataArrivo", std::string("20260302")}});
}

TEST(ServerDatabase, EverySelectGivesTheFilesRowsInTheFilesOrder) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    OspitiVari(fx);
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    DataSource server(fx.dir(), ServerSetting{ServerPrimario(), schema.nome()});
    DataSource file(fx.dir(), std::nullopt);
    const auto daServer = server.open("scheda_cliente.MDB");
    const auto daFile = file.open("Scheda_Cliente.mdb");
    EXPECT_EQ(daServer->format(), DatabaseFormat::Server);

    const auto T = [](const char* s) { return Value::text(s); };
    const std::vector<Criteria> criteri = {
        Criteria(""),
        Criteria("DataArrivo <= ? and DataPartenza > ?", {T("20260322"), T("20260316")}),
        Criteria("NumeroCamera = ?", {T("a10")}),
        Criteria("NumeroCamera = ?", {T("\xE4")}),
        Criteria("NumeroCamera > 'B' and NumeroCamera < 'a'"),
        Criteria("NumeroCamera >= 'a'"),
        Criteria("NumeroCamera < '\x80'"),
        Criteria("NumeroCamera = 101"),
        Criteria("NumeroCamera > 100"),
        Criteria("NumeroHotel = '1'"),
        Criteria("NumeroHotel <> 1 and NomeCliente <> 'x'"),
        Criteria("NumeroProgressivo In (1, 2, '3') and NumeroHotel >= 1"),
        Criteria("not NumeroHotel = 1 or NumeroCamera = 'B2'"),
        Criteria("NomeCliente is null and NumeroCamera = ''"),
        Criteria("Sconto > 0.25 and Sconto <= 0.7"),
        Criteria("Sconto = 0.30000000000000004"),
        Criteria("DataPartenza > '20260318'"),
    };
    for (const auto& c : criteri) {
        EXPECT_EQ(Stampa(daServer->select(SelectStatement{"Scheda_Cliente", c})),
                  Stampa(daFile->select(SelectStatement{"Scheda_Cliente", c})))
            << c.text();
    }
    using In = SelectStatement::ValuesIn;
    const std::vector<In> liste = {
        In{"NumeroProgressivo", {Value::integer(1), Value::real(2.0), T("3"), Value()}, true},
        In{"NumeroProgressivo", {Value::integer(1), Value::real(2.0), T("3"), Value()}, false},
        In{"NumeroCamera", {T("a10"), T("\xE4"), T("101"), Value::integer(101)}, false},
        In{"NumeroCamera", {T("a10"), Value::integer(101)}, true},
        In{"NumeroCamera", {}, false},
        In{"Sconto", {Value::real(0.5), Value::integer(1)}, true},
    };
    for (const auto& in : liste) {
        const SelectStatement s{"Scheda_Cliente",
                                Criteria("NumeroHotel >= 0 or NumeroHotel is null"), std::nullopt,
                                in};
        EXPECT_EQ(Stampa(daServer->select(s)), Stampa(daFile->select(s))) << in.field;
    }
    const SelectStatement sub{
        "scheda_cliente", Criteria(""),
        SelectStatement::SubqueryIn{"NumeroProgressivo", "Camere_Prenotazione.mdb",
                                    "Camere_Prenotazione", "NumeroPrenotazione",
                                    Criteria("DataArrivo > ?", {T("20260301")})}};
    EXPECT_EQ(Stampa(daServer->select(sub)), Stampa(daFile->select(sub)));
    EXPECT_EQ(Stampa(daServer->openTable("Scheda_Cliente")),
              Stampa(daFile->openTable("Scheda_Cliente")));
    EXPECT_EQ(daServer->openTable("Scheda_Cliente").fieldNames(),
              daFile->openTable("Scheda_Cliente").fieldNames());
    const TableSummary riassunto = daServer->summarize("Scheda_Cliente");
    EXPECT_EQ(riassunto.rows, 11u);
    EXPECT_EQ(riassunto.fields, daFile->summarize("Scheda_Cliente").fields);
    EXPECT_THROW(daServer->select(SelectStatement{"Scheda_Cliente", Criteria("Manca = 1")}),
                 ErroreArchivio);
    // The workstation's own files stay in the data directory.
    EXPECT_EQ(server.open("Stampanti.mdb")->format(), DatabaseFormat::Sqlite);
}

TEST(ServerDatabase, AMissingSchemaTableOrFieldIsNamedWithTheServer) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    SchemaDiProva schema(/*crealo=*/false);
    const ServerSetting setting{ServerPrimario(), schema.nome()};
    const auto errore = [&] {
        try {
            DataSource server(fx.dir(), setting);
            server.open("Tableau.mdb")->openTable("Tableau");
        } catch (const ErroreServer& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    std::string m = errore();
    EXPECT_NE(m.find("127.0.0.1:55432/postgres"), std::string::npos) << m;
    EXPECT_NE(m.find("lo schema " + schema.nome() + " non esiste"), std::string::npos) << m;

    Sincronizza(fx.dir(), schema.nome());
    EseguiSulPrimario("DROP TABLE " + schema.nome() + ".\"TipiCamere\"; DROP TABLE " +
                      schema.nome() + ".\"Arrangiamento\"");
    m = errore();
    EXPECT_NE(
        m.find("schema " + schema.nome() + ": tabelle non trovate: TipiCamere, Arrangiamento"),
        std::string::npos)
        << m;

    Sincronizza(fx.dir(), schema.nome());
    EseguiSulPrimario("ALTER TABLE " + schema.nome() + ".\"Tableau\" DROP COLUMN \"Descrizione\"");
    m = errore();
    EXPECT_NE(m.find("127.0.0.1:55432/postgres, schema " + schema.nome() +
                     ", tabella Tableau: campi non trovati: Descrizione"),
              std::string::npos)
        << m;
}

TEST(ServerDatabase, TheLastSyncIsToldAndTheStatementsCounted) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    DataSource server(fx.dir(), ServerSetting{ServerPrimario(), schema.nome()});
    EXPECT_TRUE(server.fromServer());
    EXPECT_EQ(server.describe(), "server 127.0.0.1:55432/postgres, schema " + schema.nome());
    const auto ultima = server.lastSync();
    ASSERT_TRUE(ultima);
    EXPECT_EQ(ultima->directory, std::filesystem::absolute(fx.dir()).lexically_normal().string());
    EXPECT_FALSE(ultima->machine.empty());
    ASSERT_EQ(ultima->when.size(), 16u) << ultima->when;
    EXPECT_EQ(ultima->when.substr(2, 1) + ultima->when.substr(5, 1), "//");
    const std::size_t prima = server.statements();
    server.open("NumeriCamere.mdb")->openTable("NumeriCamere");
    EXPECT_EQ(server.statements(), prima + 1);
    server.restart();
    server.open("NumeriCamere.mdb")->openTable("NumeriCamere");

    DataSource file(fx.dir(), std::nullopt);
    EXPECT_FALSE(file.fromServer());
    EXPECT_FALSE(file.lastSync());
    EXPECT_EQ(file.statements(), 0u);
}

TEST(ServerDatabase, ARestartReadsAgainAfterTheServerEndedTheSession) {
    TABLEAU_RICHIEDE_SERVER();
    HotelFixture fx;
    fx.hotel(1, "Primo");
    SchemaDiProva schema;
    Sincronizza(fx.dir(), schema.nome());
    const std::string nome = "tableau_" + schema.nome();
    DataSource server(fx.dir(),
                      ServerSetting{ServerPrimario() + " application_name=" + nome, schema.nome()});
    // The snapshot holds: rows written meanwhile are not seen until the restart. (A sync
    // would wait for this reader to end before it puts its new tables in place.)
    EseguiSulPrimario("INSERT INTO " + schema.nome() +
                      ".\"AnagraficaHotels\" (\"Numero\", tableau_riga) VALUES (2, 1)");
    EXPECT_EQ(server.open("AnagraficaHotels.mdb")->openTable("AnagraficaHotels").rowCount(), 1u);
    server.restart();
    EXPECT_EQ(server.open("AnagraficaHotels.mdb")->openTable("AnagraficaHotels").rowCount(), 2u);
    // As a standby ends a session in conflict with its recovery.
    EseguiSulPrimario(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
        " WHERE application_name = '" +
        nome + "'");
    EXPECT_THROW(server.open("Tableau.mdb")->openTable("Tableau"), ErroreServer);
    server.restart();
    EXPECT_EQ(server.open("AnagraficaHotels.mdb")->openTable("AnagraficaHotels").rowCount(), 2u);
}

TEST(ServerDatabase, RecoveryConflictsAreTheStandbysCancellations) {
    EXPECT_TRUE(IsRecoveryConflict(ErroreServer("annullata", "40001")));
    EXPECT_TRUE(IsRecoveryConflict(ErroreServer("annullata", "40P01")));
    EXPECT_FALSE(IsRecoveryConflict(ErroreServer("tabella", "42P01")));
    EXPECT_FALSE(IsRecoveryConflict(ErroreArchivio("archivio")));
}

}  // namespace
}  // namespace tableau::db::server
