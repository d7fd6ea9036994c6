#include "output_bench.h"

#include <cstdlib>
#include <optional>

#include "chart/chart_reader.h"
#include "chart/crea_tableau.h"
#include "chart/hotel_week.h"
#include "db/data_source.h"
#include "export/workbook_export.h"
#include "timing.h"

#ifdef TABLEAU_BENCH_PDF
#include <QGuiApplication>

#include "export/qt/pdf_export.h"
#endif

namespace tableau::bench {

void MisuraUscite(const std::filesystem::path& cartellaDati, const std::string& primaCamera,
                  const std::string& ultimaCamera, const std::string& data,
                  const routines::Orologio& orologio, std::ostream& out) {
    const routines::Postazione postazione(cartellaDati, "");
    chart::CreaTableau(postazione, {1, 1, primaCamera, ultimaCamera, data}, orologio);
    std::size_t camereLette = 0;
    const double lettura = Migliore(
        3, [&] { camereLette = chart::LeggiTableauDellaPostazione(postazione).camere.size(); });
    std::filesystem::path cartella;
    const double xlsx =
        Migliore(3, [&] { cartella = exports::Esporta(exports::kFormatoXlsx, postazione); });
    out << "\nDal file del tableau di " << camereLette << " camere:\n"
        << "lettura del file:                       " << lettura * 1000 << " ms\n"
        << "cartella di lavoro (tableau xlsx):      " << xlsx * 1000 << " ms, "
        << std::filesystem::file_size(cartella) / 1024 << " KB\n";
    // The week of the whole hotel from the tables, as tableau pdf, xlsx and mail make it
    // from a request: every block, the departures and the day's figures.
    const chart::RichiestaAlbergo tuttoLAlbergo{1, std::nullopt, {}, {}, data};
    std::optional<exports::TableauDaEsportare> settimana;
    const double modello = Migliore(3, [&] {
        db::DataSource origine(cartellaDati, std::nullopt);
        settimana.emplace(chart::CreaSettimanaAlbergo(origine, tuttoLAlbergo, orologio), "", "");
    });
    const std::filesystem::path cartellaAlbergo = cartellaDati / "albergo.xlsx";
    const double xlsxAlbergo =
        Migliore(3, [&] { exports::ScriviCartellaLavoro(*settimana, cartellaAlbergo, {}); });
    out << "\nDagli archivi, tutto l'albergo (" << settimana->settimana()->tableau.size()
        << " tableau):\n"
        << "settimana dell'albergo:                 " << modello * 1000 << " ms\n"
        << "cartella di lavoro:                     " << xlsxAlbergo * 1000 << " ms\n";
#ifdef TABLEAU_BENCH_PDF
    // The PDF's fonts need a QGuiApplication; no display is needed.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char nome[] = "tableau-bench";
    char* argv[] = {nome, nullptr};
    const QGuiApplication app(argc, argv);
    std::filesystem::path pdf;
    const double tempo =
        Migliore(3, [&] { pdf = exports::Esporta(exports::kFormatoPdf, postazione); });
    out << "PDF A4 (tableau pdf):                   " << tempo * 1000 << " ms, "
        << std::filesystem::file_size(pdf) / 1024 << " KB\n";
    const std::filesystem::path pdfAlbergo = cartellaDati / "albergo.pdf";
    const double tempoAlbergo =
        Migliore(3, [&] { exports::ScriviPdf(*settimana, pdfAlbergo, {}); });
    out << "PDF A4 di tutto l'albergo, dagli archivi: " << tempoAlbergo * 1000 << " ms, "
        << std::filesystem::file_size(pdfAlbergo) / 1024 << " KB\n";
#else
    out << "PDF: non misurato (compilato senza finestre, TABLEAU_GUI=OFF)\n";
#endif
}

}  // namespace tableau::bench
