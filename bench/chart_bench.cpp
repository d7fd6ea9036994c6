// tableau-bench build DIR | build-jet DIR | run DIR
// "build" writes the large hotel; "build-jet" writes its Jet files (DIR/jet) from it; "run"
// times the chart of its 1,000 rooms against a bare full scan of the same week in the same
// files and reports the peak memory, then the workbook and (built with the windows) the
// PDF read from that chart file, then times the same chart from the Jet files, which
// must give the same bytes, and the reading of a Jet table against its rows.
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "chart/chart_reader.h"
#include "chart/crea_tableau.h"
#include "db/database.h"
#include "jet_files.h"
#include "large_hotel.h"
#include "preview/workbook_export.h"
#include "routines/clock.h"

#ifdef TABLEAU_BENCH_PDF
#include <QGuiApplication>

#include "print/qt/chart_pdf.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using tableau::bench::numeroCamera;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What a bare "sqlite3" query of the week costs: every column of every row of the week.
std::size_t scanWeek(const std::filesystem::path& file, const char* table, const std::string& from,
                     const std::string& to) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string sql =
        std::string("SELECT * FROM ") + table + " WHERE DataArrivo <= ? AND DataPartenza > ?";
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
    sqlite3_bind_text(s, 1, to.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, from.c_str(), -1, SQLITE_TRANSIENT);
    std::size_t rows = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            if (const auto* text = sqlite3_column_text(s, c)) {
                bytes += std::strlen(reinterpret_cast<const char*>(text));
            }
        }
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return rows + (bytes == 0 ? 1 : 0);
}

double best(int runs, const auto& work) {
    double fastest = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        fastest = std::min(fastest, secondsSince(start));
    }
    return fastest;
}

// This process's peak resident memory since the last azzeraPicco() (Linux keeps it as
// VmHWM and resets it through clear_refs), so that each reading shows its own. The reader
// program's peak cannot be told from its rusage (a spawned child starts out counted at this
// process's size); it streams its rows and stays at a few MB.
void azzeraPicco() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

long piccoMB() {
    std::ifstream status("/proc/self/status");
    for (std::string riga; std::getline(status, riga);) {
        if (riga.starts_with("VmHWM:")) {
            return std::stol(riga.substr(6)) / 1024;
        }
    }
    return 0;
}

std::string contenuto(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string comando = argc == 3 ? argv[1] : "";
    if (comando != "build" && comando != "build-jet" && comando != "run") {
        std::cerr << "Uso: tableau-bench build CARTELLA | build-jet CARTELLA | run CARTELLA\n";
        return 2;
    }
    const std::filesystem::path dir = argv[2];
    if (comando == "build") {
        const auto start = Clock::now();
        tableau::bench::scriviHotelGrande(dir);
        std::cout << "Albergo di prova scritto in " << dir << " in " << secondsSince(start)
                  << " s\n";
        return 0;
    }
    if (comando == "build-jet") {
        const auto start = Clock::now();
        try {
            tableau::bench::scriviArchiviJet(dir);
        } catch (const std::exception& e) {
            std::cerr << "tableau-bench: " << e.what() << "\n";
            return 1;
        }
        std::cout << "Archivi Jet di prova scritti in " << dir / "jet"
                  << " in " << secondsSince(start) << " s\n";
        return 0;
    }

    ::setenv("PCLocal", "bench", 1);
#ifdef TABLEAU_BENCH_PDF
    // The PDF's fonts need a QGuiApplication; no display is needed.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
#endif
    const std::string data = "15/06/2024";
    const std::string from = "20240615";
    const std::string to = "20240621";
    const tableau::routines::OrologioFisso orologio({2026, 12, 8, 12, 0});
    const auto chartIn = [&](const std::filesystem::path& cartella, int camere) {
        tableau::chart::CreaTableau(cartella, {1, 1, numeroCamera(1), numeroCamera(camere), data},
                                    orologio);
    };
    const auto chart = [&](int camere) { chartIn(dir, camere); };
    std::size_t weekRows = 0;
    const auto scan = [&] {
        weekRows = scanWeek(dir / "Scheda_Cliente.mdb", "Scheda_Cliente", from, to) +
                   scanWeek(dir / "Camere_Prenotazione.mdb", "Camere_Prenotazione", from, to);
    };
    scan();  // warm the page cache for both
    chart(1000);
    const double bare = best(3, scan);
    const double full = best(3, [&] { chart(1000); });
    const double half = best(3, [&] { chart(500); });
    const double quarter = best(3, [&] { chart(250); });
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::cout << "Settimana dal " << data << ": " << weekRows << " righe di ospiti e prenotazioni\n"
              << "scansione nuda (ospiti + prenotazioni): " << bare * 1000 << " ms\n"
              << "tableau di 1000 camere:                 " << full * 1000 << " ms (" << full / bare
              << " volte la scansione)\n"
              << "tableau di 500 camere:                  " << half * 1000 << " ms\n"
              << "tableau di 250 camere:                  " << quarter * 1000 << " ms\n"
              << "memoria massima:                        " << usage.ru_maxrss / 1024 << " MB\n";

    // The outputs read from the chart file of the 1,000 rooms, as tableau xlsx and tableau
    // pdf make them: reading the file included.
    chart(1000);
    std::size_t camereLette = 0;
    const double lettura = best(
        3, [&] { camereLette = tableau::chart::LeggiTableauDellaCartella(dir).camere.size(); });
    const double xlsx = best(3, [&] { tableau::preview::EsportaXlsx(dir); });
    std::cout << "\nDal file del tableau di " << camereLette << " camere:\n"
              << "lettura del file:                       " << lettura * 1000 << " ms\n"
              << "cartella di lavoro (tableau xlsx):      " << xlsx * 1000 << " ms, "
              << std::filesystem::file_size(dir / "fdbench.xlsx") / 1024 << " KB\n";
#ifdef TABLEAU_BENCH_PDF
    const double pdf =
        best(3, [&] { tableau::print::CreaPdfTableau(dir, tableau::print::FormatoPdf::a4); });
    std::cout << "PDF A4 (tableau pdf):                   " << pdf * 1000 << " ms, "
              << std::filesystem::file_size(dir / "fdbench.pdf") / 1024 << " KB\n";
#else
    std::cout << "PDF: non misurato (compilato senza finestre, TABLEAU_GUI=OFF)\n";
#endif

    // Jet files: each reading runs the reader program, which hands every row over a pipe.
    try {
        const auto hotelJet = tableau::bench::cartellaHotelJet(dir);
        if (!std::filesystem::exists(hotelJet / "Scheda_Cliente.mdb")) {
            std::cerr << "tableau-bench: mancano gli archivi Jet in " << dir / "jet"
                      << " (tableau-bench build-jet " << dir << ")\n";
            return 1;
        }
        azzeraPicco();
        chartIn(hotelJet, 1000);
        const double fullJet = best(3, [&] { chartIn(hotelJet, 1000); });
        const long piccoTableau = piccoMB();
        chart(1000);  // the chart file of the same request from SQLite, to compare
        const std::string daSqlite = contenuto(dir / "FDbench");
        const bool uguale = !daSqlite.empty() && daSqlite == contenuto(hotelJet / "FDbench");
        std::cout << "\nTableau di 1000 camere dagli archivi Jet: " << fullJet * 1000 << " ms ("
                  << fullJet / full << " volte SQLite, " << full * 1000 << " ms)\n"
                  << "memoria massima:                        " << piccoTableau << " MB\n"
                  << "file del tableau uguale a quello da SQLite: " << (uguale ? "sì" : "NO")
                  << "\n";
        std::cout << "\nLettura intera di Scheda_Cliente (15 colonne) da un file Jet 4:\n";
        for (const int righe : tableau::bench::kRigheJet) {
            const auto cartella = tableau::bench::cartellaRigheJet(dir, righe);
            std::size_t lette = 0;
            const auto leggi = [&] {
                const auto archivio = tableau::db::openDatabase(cartella, "Scheda_Cliente.mdb");
                lette = archivio->openTable("Scheda_Cliente").rowCount();
            };
            leggi();  // warm the page cache
            azzeraPicco();
            const double tempo = best(3, leggi);
            std::cout << "  " << righe << " righe: " << tempo * 1000 << " ms, "
                      << tempo * 1000 * 100'000 / static_cast<double>(lette)
                      << " ms ogni 100.000 righe; memoria massima " << piccoMB() << " MB\n";
        }
        return uguale ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "tableau-bench: " << e.what() << "\n";
        return 1;
    }
}
