#pragma once
// What a page of the web view shows: the week of one block, or of every block of a hotel one
// after the other, made from the hotel tables in one read (chart/hotel_week.h) with the cells
// `tableau chart` writes into the chart file, the departures and the day's figures as the
// PDF shows them. Nothing is written: no chart file, no dated copy, nothing in the data
// directory.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/block_check.h"
#include "chart/chart_reader.h"
#include "db/data_source.h"
#include "routines/clock.h"
#include "routines/dates.h"

namespace tableau::web {

// The request of a page: a hotel, a block of it or all of them, the week's first day.
struct RichiestaPagina {
    std::int16_t hotel = 0;
    std::optional<std::int16_t> tableau;  // empty: every block of the hotel
    routines::Data inizio;
};

// The request from the query's fields as given (UTF-8; empty when missing): hotel and
// tableau 16-bit numbers, data dd/mm/yyyy (this week, from today, when missing). Throws
// routines::RichiestaRifiutata with an Italian message for a field that does not hold.
RichiestaPagina LeggiRichiestaPagina(const std::optional<std::string>& hotel,
                                     const std::optional<std::string>& tableau,
                                     const std::optional<std::string>& data,
                                     const routines::Orologio& orologio);

// A row of the day's figures under the totals, as the PDF shows it: its label and the
// seven days' texts ("2 (3)": rooms and their persons).
struct ConteggioGiornaliero {
    std::string nome;  // "Partenze"
    std::array<std::string, chart::kGiorniTableau> valori;
};

// One block of the page.
struct TableauPagina {
    std::int16_t codice = 0;
    std::string descrizione;  // Windows-1252, as stored
    // The block's week from the hotel tables, its rooms' cells those of the chart file
    // (departures and the day's figures beside them); empty for a block without rooms.
    std::optional<chart::TableauLetto> tableau;
    // The day's figures of the block (arrivals, departures, rooms in use, free rooms,
    // persons in the house), in the order shown; none for a block without rooms.
    std::vector<ConteggioGiornaliero> conteggi;
};

struct PaginaTableau {
    std::int16_t hotel = 0;
    std::string nomeHotel;  // Windows-1252
    std::optional<std::int16_t> tableauScelto;
    routines::Data inizio;
    routines::Data oggi;
    std::array<chart::GiornoIntestazione, chart::kGiorniTableau> giorni;  // Windows-1252
    std::vector<TableauPagina> tableau;
    std::string generazione;  // "dd/mm/yyyy hh:mm"
    std::string provenienza;  // UTF-8: the data directory, or the server and its last sync
};

// The page of the request, from the source. Throws routines::RichiestaRifiutata naming an
// unknown hotel or block (with the known ones), db::ErroreArchivio, db::ErroreServer.
PaginaTableau CostruisciPagina(db::DataSource& origine, const RichiestaPagina& richiesta,
                               const routines::Orologio& orologio);

}  // namespace tableau::web
