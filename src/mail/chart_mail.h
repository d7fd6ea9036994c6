#pragma once
// What the chart's mail says, from the chart file read back (chart/chart_reader.h), so
// that the counts are the chart's own totals: the subject, the plain text with the week's
// dates, the CC, MP and PC totals and the arrivals of each day, and the attachment of the
// chosen output. No guest's name is ever written in the subject or the text. Texts
// returned here are UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "chart/chart_reader.h"

namespace tableau::mail {

// What goes with the text: the laid-out PDF, the workbook, the chart file as UTF-8 text,
// or nothing but the totals of the text.
enum class FormatoPosta { pdf, xlsx, testo, totali };

// "pdf", "xlsx", "text", "totals"; empty for any other name.
std::optional<FormatoPosta> LeggiFormatoPosta(std::string_view nome);
std::string_view NomeFormatoPosta(FormatoPosta formato);

// "Tableau <hotel> – <block> – dal dd/mm/yyyy".
std::string OggettoPosta(const chart::TableauLetto& tableau);

// The message's text: the title, a line of the seven dates, a line each for CC, MP and PC
// with the seven counts as plain numbers in day order, then the arrivals of each day (rooms
// and persons), all under the dates.
std::string TestoPosta(const chart::TableauLetto& tableau);

// The attachment's MIME type; empty for totali, which has none.
std::string_view TipoAllegato(FormatoPosta formato);

// "Tableau <hotel> - <block> - yyyy-mm-dd.<pdf|xlsx|txt>": characters that cannot stand in
// a file name (/ \ : * ? " < > | and controls) become "-".
std::string NomeAllegato(const chart::TableauLetto& tableau, FormatoPosta formato);

// The chart file's text (Windows-1252) as UTF-8: its frame drawn with the Unicode box
// characters, texts converted, line ends kept. A byte of the frame stands for a line only
// in a frame line and at the places of the vertical lines: an "Ä" in a name stays "Ä".
std::string TableauInUtf8(std::string_view testoFile);

}  // namespace tableau::mail
