// tableau-bench build DIR | build-spread DIR | build-jet DIR | build-double DIR | run DIR |
//               outputs DIR | sync DIR CONNINFO
// "build" writes the large hotel, whose client codes follow the arrival dates;
// "build-double" the same hotel with twice its history (DIR/double);
// "build-spread" writes the hotel whose codes are spread over their whole range (with half
// its history, and a copy with indexes); "build-jet" writes both hotels' Jet files
// (DIR/jet). "run" times the chart of 1,000 rooms of each hotel against the same week read
// with bare SQLite calls and reports the peak memory of both; then times the charts of both
// hotels from their Jet files, which must give the same bytes, against mdb-export of the
// same tables, then the workbook and (built with the windows) the PDF of the first hotel's
// chart, and the reading of a Jet table against its rows; "outputs" times those outputs
// alone, and the week of the whole hotel made from the tables with its workbook and PDF.
// "sync" times the sync of the large hotel into a PostgreSQL server against psql's \copy of
// the same rows, with the sync's peak memory (and that of the hotel of twice the history,
// when written), and its chart from the server.
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "chart/crea_tableau.h"
#include "db/database.h"
#include "hotel_bench.h"
#include "jet_export.h"
#include "jet_files.h"
#include "large_hotel.h"
#include "output_bench.h"
#include "peak_memory.h"
#include "routines/clock.h"
#include "spread_hotel.h"
#include "sync_bench.h"
#include "timing.h"

namespace {

namespace bench = tableau::bench;
using bench::Clock;
using bench::Migliore;
using bench::SecondiDa;

std::string contenuto(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Costruisci(const std::string& comando, const std::filesystem::path& dir) {
    const auto inizio = Clock::now();
    try {
        if (comando == "build") {
            bench::scriviHotelGrande(dir);
        } else if (comando == "build-double") {
            bench::scriviHotelGrande(bench::cartellaStoriaDoppia(dir), 2);
        } else if (comando == "build-spread") {
            bench::scriviHotelSparsi(dir);
        } else {
            bench::scriviArchiviJet(dir);
        }
    } catch (const std::exception& e) {
        std::cerr << "tableau-bench: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Archivi di prova (" << comando << ") scritti in " << dir << " in "
              << SecondiDa(inizio) << " s\n";
    return 0;
}

// The hotels there are in DIR, the large one first.
std::vector<bench::AlbergoDiProva> AlberghiDiProva(const std::filesystem::path& dir) {
    std::vector<bench::AlbergoDiProva> alberghi = {
        {"codici in ordine d'arrivo", dir, {15, 6, 2024}}};
    const std::pair<const char*, std::filesystem::path> sparsi[] = {
        {"codici sparsi", bench::cartellaSparsa(dir)},
        {"codici sparsi, mezza storia", bench::cartellaSparsaMeta(dir)},
        {"codici sparsi, con indici", bench::cartellaSparsaIndici(dir)}};
    for (const auto& [nome, cartella] : sparsi) {
        if (std::filesystem::exists(cartella / "Scheda_Cliente.mdb")) {
            alberghi.push_back({nome, cartella, bench::kSettimanaSparsa});
        } else {
            std::cerr << "tableau-bench: manca " << cartella << " (tableau-bench build-spread "
                      << dir << ")\n";
        }
    }
    return alberghi;
}

// A hotel's chart from its Jet files: time and peak, against mdb-export of the tables it
// reads; the chart file must be the one written from SQLite. False when it is not.
bool MisuraTableauJet(const bench::AlbergoDiProva& albergo, const std::filesystem::path& jet,
                      const tableau::routines::Orologio& orologio, double secondiSqlite) {
    const auto chartIn = [&](const std::filesystem::path& cartella) {
        tableau::chart::CreaTableau(
            tableau::routines::Postazione(cartella, ""),
            {1, 1, bench::numeroCamera(1), bench::numeroCamera(bench::kCamere),
             tableau::routines::TestoData(albergo.inizio)},
            orologio);
    };
    chartIn(jet);
    bench::AzzeraPicco();
    const double tableauJet = Migliore(3, [&] { chartIn(jet); });
    const long piccoTableau = bench::PiccoMB();
    const double esporta = Migliore(3, [&] { bench::EsportaTabelleDelTableau(jet); });
    chartIn(albergo.cartellaDati);  // the chart file of the same request from SQLite
    const std::string daSqlite = contenuto(albergo.cartellaDati / "FDbench");
    const bool uguale = !daSqlite.empty() && daSqlite == contenuto(jet / "FDbench");
    std::cout << "\n"
              << albergo.nome << ", tableau di 1000 camere dagli archivi Jet: " << tableauJet
              << " s (" << tableauJet / secondiSqlite << " volte SQLite), memoria massima "
              << piccoTableau << " MB\n"
              << "  mdb-export delle nove tabelle lette: " << esporta
              << " s; rapporto tableau / mdb-export: " << tableauJet / esporta << "\n"
              << "  file del tableau uguale a quello da SQLite: " << (uguale ? "sì" : "NO") << "\n";
    return uguale;
}

// The charts from the Jet files, then a Jet table read whole.
int MisuraJet(const std::filesystem::path& dir, const tableau::routines::Orologio& orologio,
              const std::vector<std::pair<bench::AlbergoDiProva, double>>& sqlite) {
    const std::filesystem::path jet[] = {bench::cartellaHotelJet(dir),
                                         bench::cartellaSparsaJet(dir)};
    bool uguali = true;
    for (std::size_t i = 0; i < std::size(jet) && i < sqlite.size(); ++i) {
        if (!std::filesystem::exists(jet[i] / "Scheda_Cliente.mdb")) {
            std::cerr << "tableau-bench: mancano gli archivi Jet in " << jet[i]
                      << " (tableau-bench build-jet " << dir << ")\n";
            return 1;
        }
        uguali = MisuraTableauJet(sqlite[i].first, jet[i], orologio, sqlite[i].second) && uguali;
    }
    std::cout << "\nLettura intera di Scheda_Cliente (15 colonne) da un file Jet 4:\n";
    for (const int righe : bench::kRigheJet) {
        const auto cartella = bench::cartellaRigheJet(dir, righe);
        std::size_t lette = 0;
        const auto leggi = [&] {
            const auto archivio = tableau::db::OpenDatabase(cartella, "Scheda_Cliente.mdb");
            lette = archivio->openTable("Scheda_Cliente").rowCount();
        };
        leggi();  // warm the page cache
        bench::AzzeraPicco();
        const double tempo = Migliore(3, leggi);
        std::cout << "  " << righe << " righe: " << tempo * 1000 << " ms, "
                  << tempo * 1000 * 100'000 / static_cast<double>(lette)
                  << " ms ogni 100.000 righe; memoria massima " << bench::PiccoMB() << " MB\n";
    }
    return uguali ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string comando =
        argc == 3 || (argc == 4 && argv[1] == std::string("sync")) ? argv[1] : "";
    if (comando != "build" && comando != "build-spread" && comando != "build-jet" &&
        comando != "build-double" && comando != "run" && comando != "outputs" &&
        comando != "sync") {
        std::cerr << "Uso: tableau-bench build CARTELLA | build-spread CARTELLA | "
                     "build-jet CARTELLA | build-double CARTELLA | run CARTELLA | "
                     "outputs CARTELLA | sync CARTELLA CONNESSIONE\n";
        return 2;
    }
    const std::filesystem::path dir = argv[2];
    if (comando == "sync") {
        ::setenv("PCLocal", "bench", 1);
        try {
            return bench::MisuraSincronizzazione(
                       dir, argv[3], tableau::routines::OrologioFisso({2026, 12, 8, 12, 0}),
                       std::cout)
                       ? 0
                       : 1;
        } catch (const std::exception& e) {
            std::cerr << "tableau-bench: " << e.what() << "\n";
            return 1;
        }
    }
    if (comando != "run" && comando != "outputs") {
        return Costruisci(comando, dir);
    }
    ::setenv("PCLocal", "bench", 1);
    const tableau::routines::OrologioFisso orologio({2026, 12, 8, 12, 0});
    if (comando == "outputs") {
        // The outputs alone: the chart's workbook and PDF, and the whole hotel's.
        try {
            bench::MisuraUscite(dir, bench::numeroCamera(1), bench::numeroCamera(1000),
                                "15/06/2024", orologio, std::cout);
            return 0;
        } catch (const std::exception& e) {
            std::cerr << "tableau-bench: " << e.what() << "\n";
            return 1;
        }
    }
    try {
        std::cout << "Tableau di 1000 camere contro la stessa settimana letta con sqlite3 "
                     "(migliore di 7; memoria residente prima: "
                  << bench::ResidenteMB() << " MB)\n";
        bench::StampaIntestazione(std::cout);
        std::vector<std::pair<bench::AlbergoDiProva, double>> sqlite;
        for (const auto& albergo : AlberghiDiProva(dir)) {
            const auto misura = bench::Misura(albergo, orologio);
            bench::StampaRiga(std::cout, albergo, misura);
            sqlite.emplace_back(albergo, misura.tableau);
        }
        bench::MisuraUscite(dir, bench::numeroCamera(1), bench::numeroCamera(1000), "15/06/2024",
                            orologio, std::cout);
        return MisuraJet(dir, orologio, sqlite);
    } catch (const std::exception& e) {
        std::cerr << "tableau-bench: " << e.what() << "\n";
        return 1;
    }
}
