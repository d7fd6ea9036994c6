#pragma once
// The chart as a spreadsheet workbook (.xlsx, written by libxlsxwriter), read from the
// chart file so that edits saved in the preview show:
//   "Tableau"  the chart as a grid, a row per room and a column per day, each cell holding
//              the day's lines and filled by the state as in the PDF, the totals below;
//              header row and room column frozen, printed landscape one page wide with
//              the header row on every page;
//   "Dati"     one row per room and day (room, type, beds, date, persons, state, name,
//              company, board code, note, the code's class, the persons the totals count
//              under CC, MP and PC, the block) with typed numbers and dates and an
//              autofilter: a class's column sums to the Totali figure;
//   "Totali"   the CC, MP and PC counts of each day, the arrivals, departures, rooms in use,
//              free rooms and persons, by block and for the hotel.
// Made from a chart file, the class, the classes' persons and the figures are left empty:
// the file does not hold them.
// Texts in the workbook are UTF-8. No Qt. Its row in the table of formats is kFormatoXlsx.
#include <filesystem>
#include <string>
#include <vector>

#include "chart/chart_reader.h"
#include "export/output_format.h"

namespace tableau::exports {

// Writes the workbook into the file, replaced whole or not at all. Throws
// ErroreEsportazione naming the file when it cannot be written.
void ScriviXlsx(const chart::TableauLetto& tableau, const std::filesystem::path& file);

// The same for several blocks: a Tableau sheet each ("Tableau 2 Secondo piano"), the Dati
// rows of every block, the Totali rows of every block and, with the week of a whole hotel,
// the hotel's ("Tutto l'albergo"). The week gives the blocks' codes; none from a chart file.
void ScriviXlsx(const std::vector<const chart::TableauLetto*>& sezioni,
                const chart::SettimanaAlbergo* settimana, const std::filesystem::path& file);

// The writer of the table of formats: the workbook of the chart read back.
void ScriviCartellaLavoro(const TableauDaEsportare& tableau, const std::filesystem::path& file,
                          const OpzioniUscita& opzioni);

inline constexpr FormatoUscita kFormatoXlsx{
    .nome = "xlsx",
    .estensione = "xlsx",
    .tipoMime = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    .titolo = "Foglio Excel",
    .aiuto =
        "Scrive il file del tableau in una cartella di lavoro per il foglio di calcolo\n"
        "(fd<PCLocal>.xlsx, o FILE) con i fogli Tableau, Dati e Totali.\n"
        "Con --hotel e --date scrive prima il tableau come chart e compila dagli archivi, con\n"
        "le classi dei trattamenti e i conteggi di ogni giorno; senza --tableau tutto\n"
        "l'albergo, un foglio Tableau per tableau.",
    .annuncioPrima = "Foglio di calcolo salvato in ",
    .annuncioDopo = ".",
    .registroFatto = "foglio Excel salvato",
    .registroFallito = "foglio Excel non salvato",
    .conCarta = false,
    .conUscita = true,
    .allegabile = true,
    .conQt = false,
    .scrivi = &ScriviCartellaLavoro,
    .conRichiesta = true,
};

}  // namespace tableau::exports
