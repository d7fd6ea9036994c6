#pragma once
// What the chart's mail says, from the chart file read back (chart/chart_reader.h), so
// that the counts are the chart's own totals: the subject, the plain text with the week's
// dates, the CC, MP and PC totals and the arrivals of each day, and the attachment's name.
// The attachment itself is one of the outputs of export/. No guest's name is ever written in the
// subject or the text. Texts returned here are UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "chart/chart_reader.h"
#include "chart/hotel_week.h"

namespace tableau::mail {

// "Tableau <hotel> – <block> – dal dd/mm/yyyy".
std::string OggettoPosta(const chart::TableauLetto& tableau);

// The message's text: the title, a line of the seven dates, a line each for CC, MP and PC
// with the seven counts as plain numbers in day order, then the arrivals of each day (rooms
// and persons), all under the dates.
std::string TestoPosta(const chart::TableauLetto& tableau);

// "Tableau <hotel> - <block> - yyyy-mm-dd.<estensione>": characters that cannot stand in
// a file name (/ \ : * ? " < > | and controls) become "-".
std::string NomeAllegato(const chart::TableauLetto& tableau, std::string_view estensione);

// The same for the week of a request, made from the hotel tables (chart/hotel_week.h). A
// whole hotel is "Tableau <hotel> – tutto l'albergo – dal dd/mm/yyyy"; its text gives the
// rows of every block, then the hotel's, the sums of the blocks'. Each block's rows are the
// dates, CC, MP, PC, the arrivals and departures (rooms and persons), the rooms in use, the
// free rooms and the persons in the house; then the class of each code the week shows,
// and the codes that count under none.
std::string OggettoPosta(const chart::SettimanaAlbergo& settimana);
std::string TestoPosta(const chart::SettimanaAlbergo& settimana);
std::string NomeAllegato(const chart::SettimanaAlbergo& settimana, std::string_view estensione);

}  // namespace tableau::mail
