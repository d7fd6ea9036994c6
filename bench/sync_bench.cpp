#include "sync_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "chart/crea_tableau.h"
#include "db/data_source.h"
#include "db/server/copy_binary.h"
#include "db/server/server_connection.h"
#include "db/server/server_schema.h"
#include "db/server/server_sync.h"
#include "db/server/sync_source.h"
#include "db/sql_text.h"
#include "large_hotel.h"
#include "peak_memory.h"
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

// The load average of the last minute, as /proc/loadavg gives it.
std::string CaricoMacchina() {
    std::ifstream in("/proc/loadavg");
    std::string uno;
    in >> uno;
    return uno;
}

struct Riferimento {
    double esporta = 0;  // sqlite3's CSV of the ten tables
    double copia = 0;    // psql's \copy of them
};

// psql's \copy of the ten tables' rows, exported beforehand by sqlite3 as CSV, into empty
// tables of the same shape without indexes; the export and the copies timed apart.
Riferimento CopiaDiRiferimento(const std::filesystem::path& dir, const std::string& conninfo,
                               const std::string& schema, const std::filesystem::path& csv) {
    Riferimento tempi;
    db::server::ServerConnection c(conninfo);
    c.execScript("DROP SCHEMA IF EXISTS bench_copia CASCADE; CREATE SCHEMA bench_copia");
    std::string copie;
    for (const auto& t : db::server::ServerTables()) {
        const std::string tabella(t.table);
        c.execScript("CREATE TABLE bench_copia." + db::QuoteIdentifier(tabella) + " (LIKE " +
                     schema + "." + db::QuoteIdentifier(tabella) + ")");
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
    c.execScript("DROP SCHEMA bench_copia CASCADE");
    return tempi;
}

// The sync's own work on the site, without the server: the survey, then every row read
// again, checked and written out in COPY's binary form, which is thrown away.
double LetturaSenzaServer(const std::filesystem::path& dir) {
    const auto inizio = Clock::now();
    std::size_t byte = 0;
    for (const auto& fonte : db::server::SurveySyncSources(dir, std::nullopt, "")) {
        std::string pezzo;
        db::server::ReadSyncRows(fonte, [&](std::size_t posto, const std::vector<db::Value>& riga) {
            db::server::AppendCopyBinaryRow(pezzo, riga.size() + 1);
            for (std::size_t c = 0; c < riga.size(); ++c) {
                db::server::AppendCopyBinaryField(pezzo, fonte.types[c], riga[c]);
            }
            db::server::AppendCopyBinaryBigint(pezzo, static_cast<std::int64_t>(posto));
            if (pezzo.size() > (std::size_t{1} << 18)) {
                byte += pezzo.size();
                pezzo.clear();
            }
        });
        byte += pezzo.size();
    }
    return byte > 0 ? SecondiDa(inizio) : 0;
}

// Waits (up to a minute) until the server's autovacuum has done with the tables the last
// sync or copy left, so that each run meets a quiet server, as a nightly sync does.
void AttendiAutovacuum(db::server::ServerConnection& c) {
    for (int i = 0; i < 600; ++i) {
        if (c.exec("SELECT count(*) FROM pg_stat_activity WHERE backend_type = 'autovacuum worker'"
                   " AND query <> ''")
                .text(0, 0) == "0") {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

struct MisuraSync {
    std::int64_t righe = 0;
    double prima = 0;  // into an empty schema
    long piccoPrima = 0;
    double ancora = 0;  // again, best of `volte`
    long piccoAncora = 0;
    Riferimento riferimento;
};

// The sync of a hotel into a new schema, then again `volte` times, each with its peak
// memory, and psql's \copy of the same rows.
MisuraSync MisuraUnaSincronizzazione(const std::filesystem::path& dir, const std::string& conninfo,
                                     const std::string& schema, int volte) {
    MisuraSync m;
    db::server::ServerConnection c(conninfo);
    c.execScript("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    AttendiAutovacuum(c);
    AzzeraPicco();
    auto inizio = Clock::now();
    for (const auto& t : db::server::SyncToServer(dir, c, schema, {})) {
        m.righe += t.rows;
    }
    m.prima = SecondiDa(inizio);
    m.piccoPrima = PiccoMB();
    AzzeraPicco();
    m.ancora = 1e9;
    for (int i = 0; i < volte; ++i) {
        AttendiAutovacuum(c);
        m.ancora =
            std::min(m.ancora, Migliore(1, [&] { db::server::SyncToServer(dir, c, schema, {}); }));
    }
    m.piccoAncora = PiccoMB();
    AttendiAutovacuum(c);
    const auto csv = std::filesystem::temp_directory_path() / "tableau-bench-csv";
    std::filesystem::create_directories(csv);
    m.riferimento = CopiaDiRiferimento(dir, conninfo, schema, csv);
    std::filesystem::remove_all(csv);
    return m;
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
    out << "\nSincronizzazione sul server (memoria massima del processo accanto a ogni tempo; "
           "carico della macchina all'inizio: "
        << CaricoMacchina() << ")\n";
    const MisuraSync m = MisuraUnaSincronizzazione(dir, conninfo, "bench_sync", 3);
    const double copia = m.riferimento.copia;
    out << "albergo grande (" << m.righe << " righe):\n"
        << "  prima volta (tabelle e indici nuovi): " << m.prima << " s, " << m.piccoPrima
        << " MB\n"
        << "  di nuovo (righe sostituite, migliore di 3): " << m.ancora << " s, " << m.piccoAncora
        << " MB\n"
        << "  \\copy di psql delle stesse righe dal CSV di sqlite3, senza indici: " << copia
        << " s; rapporto: " << m.prima / copia << " e " << m.ancora / copia << "\n"
        << "  con l'esportazione CSV di sqlite3 (" << m.riferimento.esporta
        << " s): rapporto di nuovo / (esportazione + \\copy): "
        << m.ancora / (m.riferimento.esporta + copia) << "\n"
        << "  lettura, controllo e forma binaria COPY delle righe senza server: "
        << LetturaSenzaServer(dir) << " s\n";
    const auto doppia = cartellaStoriaDoppia(dir);
    if (std::filesystem::exists(doppia / "Scheda_Cliente.mdb")) {
        const MisuraSync d = MisuraUnaSincronizzazione(doppia, conninfo, "bench_sync_doppia", 1);
        out << "albergo grande con la storia doppia (" << d.righe << " righe):\n"
            << "  prima volta: " << d.prima << " s, " << d.piccoPrima
            << " MB; di nuovo: " << d.ancora << " s, " << d.piccoAncora << " MB\n"
            << "  \\copy di psql delle stesse righe: " << d.riferimento.copia
            << " s; rapporto: " << d.prima / d.riferimento.copia << " e "
            << d.ancora / d.riferimento.copia << "\n";
        db::server::ServerConnection(conninfo).execScript(
            "DROP SCHEMA IF EXISTS bench_sync_doppia CASCADE");
    } else {
        out << "(manca l'albergo con la storia doppia: tableau-bench build-double " << dir.string()
            << ")\n";
    }
    out << std::flush;

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
    const auto csv = std::filesystem::temp_directory_path() / "tableau-bench-csv";
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
