#pragma once
// The chart laid out as a PDF document through Qt's own PDF output: landscape pages with a
// grid drawn in lines, the title and the day header on every page, a room's four lines
// never split across two pages, each state's fill explained by a legend, "Pagina n di m"
// at the foot and the totals in bold at the end. Names, companies and notes are set in
// Liberation Sans; a text is made smaller rather than cut when it is wider than its cell,
// and wrapped within its line when even the smallest size is too wide.
// Needs a QGuiApplication (the offscreen platform will do). Its row in the table of formats
// is kFormatoPdf.
#include <filesystem>
#include <string>
#include <vector>

#include "chart/chart_reader.h"
#include "export/output_format.h"

namespace tableau::exports {

// Writes the chart's pages into the file, which is replaced whole or not at all; returns
// the number of pages. Throws ErroreEsportazione naming the file when it cannot be written.
int ScriviPdfTableau(const chart::TableauLetto& tableau, const std::filesystem::path& file,
                     FormatoCarta formato);

// The same for several blocks, each opening its own pages; with the week of a whole hotel
// the document closes with the hotel's totals and figures. A block made from the hotel
// tables shows its departures and, under each day, its figures.
int ScriviPdfTableau(const std::vector<const chart::TableauLetto*>& sezioni,
                     const chart::SettimanaAlbergo* settimana, const std::filesystem::path& file,
                     FormatoCarta formato);

// The writer of the table of formats: the PDF of the chart read back, on the paper of the
// options.
void ScriviPdf(const TableauDaEsportare& tableau, const std::filesystem::path& file,
               const OpzioniUscita& opzioni);

inline constexpr FormatoUscita kFormatoPdf{
    .nome = "pdf",
    .estensione = "pdf",
    .tipoMime = "application/pdf",
    .titolo = "Tableau grafico",
    .aiuto =
        "Impagina il file del tableau in un PDF (fd<PCLocal>.pdf, o FILE): pagine A4\n"
        "orizzontali, A3 con --a3, con la griglia, i colori degli stati e i totali.\n"
        "Con --hotel e --date scrive prima il tableau come chart e impagina dagli archivi,\n"
        "con i testi interi, le partenze e i conteggi di ogni giorno; senza --tableau tutto\n"
        "l'albergo, una sezione per tableau e i totali dell'albergo.",
    .annuncioPrima = "PDF salvato in ",
    .annuncioDopo = ".",
    .registroFatto = "tableau grafico salvato",
    .registroFallito = "tableau grafico non salvato",
    .conCarta = true,
    .conUscita = true,
    .allegabile = true,
    .conQt = true,
    .scrivi = &ScriviPdf,
    .conRichiesta = true,
};

}  // namespace tableau::exports
