#pragma once
// A request checked against the hotel tables before any chart is made: the hotel and the
// block exist, and the room range holds at least one room of the block. The same tables
// give the list of hotels, blocks and rooms an administrator writes the settings from
// (tableau list). Texts of the lists are Windows-1252, as the tables hold them.
#include <cstdint>
#include <string>
#include <vector>

#include "chart/crea_tableau.h"
#include "chart/hotel_lists.h"
#include "db/data_source.h"

namespace tableau::chart {

// A room of a block: its number, its type and the type's class ("C", "S", "M", "P"...;
// empty when the type is not in TipiCamere).
struct CameraDelTableau {
    std::string numero;
    std::string tipo;
    std::string classe;
};

// A block of a hotel with its rooms in room order (texts compared byte by byte).
struct TableauDellAlbergo {
    std::int16_t codice = 0;
    std::string descrizione;
    std::vector<CameraDelTableau> camere;
};

struct AlbergoElencato {
    std::int16_t numero = 0;
    std::string nome;
    std::vector<TableauDellAlbergo> tableau;
};

// The hotels (number above 0) in the table's order, each with its blocks (code above 0) and
// their rooms. Throws db::ErroreArchivio.
std::vector<AlbergoElencato> ElencaAlberghi(db::DataSource& origine);

// Every room of the block, from its lowest to its highest number; "" to "" for a block
// without rooms.
IntervalloCamere TutteLeCamere(const TableauDellAlbergo& tableau);

// The hotel, and the block of a hotel, of that number. Throws routines::RichiestaRifiutata
// naming it and listing the known ones when there is none.
const AlbergoElencato& TrovaAlbergo(const std::vector<AlbergoElencato>& alberghi,
                                    std::int16_t hotel);
const TableauDellAlbergo& TrovaTableau(const AlbergoElencato& albergo, std::int16_t codice);

// Refuses the request (routines::RichiestaRifiutata, a message in UTF-8) when its hotel or
// its block is not in the tables, naming it and listing the known ones, or when its room
// range holds no room of the block, naming the block's first and last rooms. Returns the
// block. Throws db::ErroreArchivio when the tables cannot be read.
TableauDellAlbergo ControllaAlbergoETableau(const std::vector<AlbergoElencato>& alberghi,
                                            const RichiestaTableau& richiesta);

}  // namespace tableau::chart
