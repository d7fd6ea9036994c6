#include "sync_bench.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "chart/crea_tableau.h"
#include "db/data_source.h"
#include "db/server/server_connection.h"
#include "db/server/server_schema.h"
#include "db/server/server_sync.h"
#include "db/sql_text.h"
#include "large_hotel.h"
#include "timing.h"

namespace tableau::bench {
namespace {

std::string Contenuto(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A shell word in single quotes.
std::string Parola(const std::string& testo) {
    std::string out = "'";
    for (const char c : testo) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

void Esegui(const std::string& comando) {
    if (std::system(comando.c_str()) != 0) {
        throw std::runtime_error("comando non riuscito: " + comando);
    }
}

struct Riferimento {
    double esporta = 0;  // sqlite3's CSV of the ten tables
    double copia = 0;    // psql's \copy of them
};

// psql's \copy of the ten tables' rows, exported beforehand by sqlite3 as CSV, into empty
// tables of the same shape without indexes; the export and the copies timed apart.
Riferimento CopiaDiRiferimento(const std::filesystem::path& dir, const std::string& conninfo,
                               const std::filesystem::path& csv) {
    Riferimento tempi;
    db::server::ServerConnection c(conninfo);
    c.execScript("DROP SCHEMA IF EXISTS bench_copia CASCADE; CREATE SCHEMA bench_copia");
    std::string copie;
    for (const auto& t : db::server::ServerTables()) {
        const std::string tabella(t.table);
        c.execScript("CREATE TABLE bench_copia." + db::QuoteIdentifier(tabella) +
                     " (LIKE bench_sync." + db::QuoteIdentifier(tabella) + ")");
        const auto file = csv / (tabella + ".csv");
        const auto esportazione = Clock::now();
        Esegui("sqlite3 -csv " + Parola((dir / std::string(t.file)).string()) +
               " 'SELECT *, rowid - 1 FROM \"" + tabella + "\" ORDER BY rowid' > " +
               Parola(file.string()));
        tempi.esporta += SecondiDa(esportazione);
        copie += "\\copy bench_copia.\"" + tabella + "\" FROM '" + file.string() + "' CSV\n";
    }
    const auto script = csv / "copie.sql";
    std::ofstream(script) << copie;
    const auto inizio = Clock::now();
    Esegui("psql -q -X -v ON_ERROR_STOP=1 " + Parola(conninfo) + " -f " + Parola(script.string()));
    tempi.copia = SecondiDa(inizio);
    return tempi;
}

// psql fetching, in one read-only transaction over the same server, the rows the chart of
// the week reads: the four small tables whole, the guests and booked rooms of the week in
// the files' order, the arrangements and companies of the week's client codes and the
// headers of the week's bookings. Its output is thrown away.
double LeggiConPsql(const std::string& conninfo, const std::string& schema,
                    const std::string& primo, const std::string& ultimo,
                    const std::filesystem::path& cartella) {
    const std::string settimana =
        "\"DataArrivo\" <= '" + ultimo + "' AND \"DataPartenza\" > '" + primo + "'";
    const auto tabella = [&](const char* nome) { return schema + "." + db::QuoteIdentifier(nome); };
    std::string script = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY;\n";
    for (const char* nome : {"NumeriCamere", "AnagraficaHotels", "Tableau", "NomiArrangiamenti"}) {
        script += "SELECT * FROM " + tabella(nome) + ";\n";
    }
    for (const char* nome : {"Scheda_Cliente", "Camere_Prenotazione"}) {
        script += "SELECT * FROM " + tabella(nome) + " WHERE " + settimana + " ORDER BY " +
                  std::string(db::server::kOrderColumn) + ";\n";
    }
    for (const char* nome : {"Arrangiamento", "Ditta_Intestataria"}) {
        script += "SELECT * FROM " + tabella(nome) +
                  " WHERE \"CodiceCliente\" IN (SELECT \"NumeroProgressivo\" FROM " +
                  tabella("Scheda_Cliente") + " WHERE " + settimana + ");\n";
    }
    script += "SELECT * FROM " + tabella("Scheda_Prenotazione") +
              " WHERE \"NumeroPrenotazione\" IN (SELECT \"NumeroPrenotazione\" FROM " +
              tabella("Camere_Prenotazione") + " WHERE " + settimana + ");\nCOMMIT;\n";
    const auto file = cartella / "settimana.sql";
    std::ofstream(file) << script;
    const std::string comando = "psql -q -X -v ON_ERROR_STOP=1 " + Parola(conninfo) + " -f " +
                                Parola(file.string()) + " > /dev/null";
    Esegui(comando);
    return Migliore(3, [&] { Esegui(comando); });
}

}  // namespace

bool MisuraSincronizzazione(const std::filesystem::path& dir, const std::string& conninfo,
                            const routines::Orologio& orologio, std::ostream& out) {
    db::server::ServerConnection c(conninfo);
    c.execScript("DROP SCHEMA IF EXISTS bench_sync CASCADE");
    std::int64_t righe = 0;
    auto inizio = Clock::now();
    for (const auto& t : db::server::SyncToServer(dir, c, "bench_sync", {})) {
        righe += t.rows;
    }
    const double prima = SecondiDa(inizio);
    const double ancora = Migliore(3, [&] { db::server::SyncToServer(dir, c, "bench_sync", {}); });
    const auto csv = std::filesystem::temp_directory_path() / "tableau-bench-csv";
    std::filesystem::create_directories(csv);
    const Riferimento riferimento = CopiaDiRiferimento(dir, conninfo, csv);
    const double copia = riferimento.copia;
    std::filesystem::remove_all(csv);
    out << "\nSincronizzazione dell'albergo grande (" << righe << " righe) sul server:\n"
        << "  prima volta (tabelle e indici nuovi): " << prima << " s\n"
        << "  di nuovo (righe sostituite, migliore di 3): " << ancora << " s\n"
        << "  \\copy di psql delle stesse righe dal CSV di sqlite3, senza indici: " << copia
        << " s; rapporto: " << prima / copia << " e " << ancora / copia << "\n"
        << "  con l'esportazione CSV di sqlite3 (" << riferimento.esporta
        << " s): rapporto di nuovo / (esportazione + \\copy): "
        << ancora / (riferimento.esporta + copia) << "\n";

    const chart::RichiestaTableau richiesta{1, 1, numeroCamera(1), numeroCamera(kCamere),
                                            "15/06/2024"};
    db::DataSource file(dir, std::nullopt);
    chart::CreaTableau(routines::Postazione(file.cartellaDati(), ""), richiesta, orologio);
    const std::string daiFile = Contenuto(dir / "FDbench");
    const double tempoFile = Migliore(3, [&] {
        chart::CreaTableau(routines::Postazione(file.cartellaDati(), ""), richiesta, orologio);
    });
    std::size_t istruzioni = 0;
    const double tempoServer = Migliore(3, [&] {
        db::DataSource server(dir, db::ServerSetting{conninfo, "bench_sync"});
        chart::CreaTableau(server, routines::Postazione(server.cartellaDati(), ""), richiesta,
                           orologio);
        istruzioni = server.statements();
    });
    const bool uguale = Contenuto(dir / "FDbench") == daiFile;
    std::size_t istruzioniOtto = 0;
    {
        db::DataSource server(dir, db::ServerSetting{conninfo, "bench_sync"});
        chart::CreaTableau(server, routines::Postazione(server.cartellaDati(), ""),
                           {1, 1, numeroCamera(1), numeroCamera(8), richiesta.dataInizio},
                           orologio);
        istruzioniOtto = server.statements();
    }
    std::filesystem::create_directories(csv);
    const double psql = LeggiConPsql(conninfo, "bench_sync", "20240615", "20240621", csv);
    std::filesystem::remove_all(csv);
    out << "  tableau di 1000 camere dal server: " << tempoServer << " s (" << istruzioni
        << " istruzioni; per 8 camere " << istruzioniOtto << "), dagli archivi: " << tempoFile
        << " s; uguale: " << (uguale ? "sì" : "NO") << "\n"
        << "  psql che legge le stesse righe della settimana dallo stesso server: " << psql
        << " s; rapporto tableau / psql: " << tempoServer / psql << "\n";
    return uguale && istruzioni == istruzioniOtto;
}

}  // namespace tableau::bench
