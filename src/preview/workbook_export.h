#pragma once
// The chart as a spreadsheet workbook (.xlsx, written by libxlsxwriter), read from the
// chart file so that edits saved in the preview show:
//   "Tableau"  the chart as a grid, a row per room and a column per day, each cell holding
//              the day's lines and filled by the state as in the PDF, the totals below;
//              header row and room column frozen, printed landscape one page wide with
//              the header row on every page;
//   "Dati"     one row per room and day (room, type, beds, date, persons, state, name,
//              company, board code, note) with typed numbers and dates and an autofilter;
//   "Totali"   the CC, MP and PC counts of each day.
// Texts in the workbook are UTF-8. No Qt.
#include <filesystem>
#include <string>

#include "chart/chart_reader.h"

namespace tableau::preview {

// "fd" + the workstation number + ".xlsx".
std::string NomeFileXlsx();

// Writes the workbook into the file, replaced whole or not at all. Throws routines::Errore
// naming the file when it cannot be written.
void ScriviXlsx(const chart::TableauLetto& tableau, const std::filesystem::path& file);

// Reads the chart file of the data directory and writes its workbook into `file` (relative
// paths are taken in the data directory; empty: NomeFileXlsx() in the data directory).
// Returns the path written. Throws chart::ErroreFileTableau for a chart file that no
// longer follows the chart's layout and routines::Errore when there is none or the
// workbook cannot be written.
std::filesystem::path EsportaXlsx(const std::filesystem::path& cartellaDati,
                                  const std::filesystem::path& file = {});

}  // namespace tableau::preview
