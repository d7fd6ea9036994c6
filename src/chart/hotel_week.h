#pragma once
// The week of a hotel, or of one of its blocks, made from the hotel tables without writing
// any file: every block in the order of the table Tableau, every room of each block with
// its seven cells as the chart's rules decide them (names, companies and notes whole), the
// departures, the class of each code, and the figures of each day for each block and for
// the whole hotel. The laid-out outputs, the mail and any other view of the week read it;
// the chart file itself stays the chart's own (crea_tableau.h). No Qt; texts Windows-1252.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/block_check.h"
#include "chart/chart_reader.h"
#include "chart/crea_tableau.h"
#include "db/data_source.h"
#include "routines/clock.h"

namespace tableau::chart {

// A request for a week: the hotel, the block (none: every block of the hotel), the rooms
// (only with a block; an end not given is the block's) and the start date dd/mm/yyyy.
struct RichiestaAlbergo {
    std::int16_t hotel = 0;
    std::optional<std::int16_t> tableau;
    std::optional<std::string> primaCamera;
    std::optional<std::string> ultimaCamera;
    std::string dataInizio;
};

// The totals and figures of the whole hotel: the sums of its blocks'.
struct TotaliAlbergo {
    std::array<long, kGiorniTableau> totaleCC{};
    std::array<long, kGiorniTableau> totaleMP{};
    std::array<long, kGiorniTableau> totalePC{};
    std::array<ConteggioGiorno, kGiorniTableau> conteggi{};
};

// A code shown in the week's cells and the class its persons count under (empty: none).
struct CodiceSettimana {
    std::string codice;
    std::string classe;
};

struct SettimanaAlbergo {
    std::int16_t hotel = 0;
    std::string nomeHotel;
    bool interoAlbergo = false;  // every block of the hotel
    // One per block, in the order of the blocks: its title, days, rooms with their cells,
    // the CC, MP and PC totals and the day's figures (conteggi always set).
    std::vector<std::int16_t> codiciTableau;
    std::vector<TableauLetto> tableau;
    TotaliAlbergo totale;
    std::vector<CodiceSettimana> codici;  // in the order first shown
};

// The request checked against the tables as the block check does (block_check.h): the date
// first, then the hotel, then the block and its rooms when a block is named; a range with no
// block, or a hotel without blocks or rooms, is refused. Returns one chart request per block,
// each ends of the range resolved. Throws RichiestaRifiutata (routines:: or chart::).
std::vector<RichiestaTableau> ControllaRichiestaAlbergo(
    const std::vector<AlbergoElencato>& alberghi, const RichiestaAlbergo& richiesta);

// The week of the request from the source, in one snapshot: checked as above, then read.
// Throws as ControllaRichiestaAlbergo and CreaTableau, or db::ErroreServer.
SettimanaAlbergo CreaSettimanaAlbergo(db::DataSource& origine, const RichiestaAlbergo& richiesta,
                                      const routines::Orologio& orologio);

// The same for requests already checked (ControllaRichiestaAlbergo's result). Without
// `testiInteri` the names and companies are cut as the chart file's cells cut them, so the
// rooms' cells are the chart file's, read back (a view that shows the chart's cells). With
// `testiTableau`, each block's chart text (TestoTableau's bytes) is added to it, made from
// the same reads.
SettimanaAlbergo CreaSettimanaAlbergo(db::DataSource& origine,
                                      const std::vector<RichiestaTableau>& blocchi,
                                      bool interoAlbergo, const routines::Orologio& orologio,
                                      bool testiInteri = true,
                                      std::vector<std::string>* testiTableau = nullptr);

}  // namespace tableau::chart
