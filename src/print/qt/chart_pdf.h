#pragma once
// The chart laid out as a PDF document through Qt's own PDF output: landscape pages with a
// grid drawn in lines, the title and the day header on every page, a room's four lines
// never split across two pages, each state's fill explained by a legend, "Pagina n di m"
// at the foot and the totals in bold at the end. Names, companies and notes are set in
// Liberation Sans; a text is made smaller rather than cut when it is wider than its cell.
// Needs a QGuiApplication (the offscreen platform will do).
#include <filesystem>
#include <string>

#include "chart/chart_reader.h"

namespace tableau::print {

// The paper of the document, always landscape. A3 is the A4 page enlarged, for a chart
// read from a distance: the same rooms on each page.
enum class FormatoPdf { a4, a3 };

// "fd" + the workstation number + ".pdf".
std::string NomeFilePdf();

// Writes the chart's pages into the file, which is replaced whole or not at all; returns
// the number of pages. Throws routines::Errore naming the file when it cannot be written.
int ScriviPdfTableau(const chart::TableauLetto& tableau, const std::filesystem::path& file,
                     FormatoPdf formato);

// Reads the chart file of the data directory and writes its PDF into `file` (relative
// paths are taken in the data directory; empty: NomeFilePdf() in the data directory), so
// that edits saved in the preview show. Returns the path written. Throws
// chart::ErroreFileTableau for a chart file that no longer follows the chart's layout and
// routines::Errore when there is none or the PDF cannot be written.
std::filesystem::path CreaPdfTableau(const std::filesystem::path& cartellaDati, FormatoPdf formato,
                                     const std::filesystem::path& file = {});

}  // namespace tableau::print
