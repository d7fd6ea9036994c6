#pragma once
// What the request window reads from the hotel files: the hotel list, a hotel's room
// blocks and the room range proposed for a block. Texts are Windows-1252.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "db/data_source.h"
#include "db/record_set.h"

namespace tableau::chart {

// One entry of the hotel or room-block list: the number right-aligned in three characters,
// a space and the name ("  7 Hotel Sole").
struct VoceElenco {
    std::int16_t numero = 0;
    std::string testo;
};

// The entry text of a number and a name; numbers of more than three characters are
// written whole.
std::string TestoVoce(std::int64_t numero, std::string_view nome);

// Hotels with a number greater than 0, in the order the table holds them.
// Throws db::ErroreArchivio, routines::ErroreOverflow for a number beyond 16 bits.
std::vector<VoceElenco> ElencoHotel(db::RecordSet& anagraficaHotels);

// Room blocks of a hotel with a code greater than 0.
std::vector<VoceElenco> ElencoTableau(db::RecordSet& tableau, std::int16_t hotel);

// The first and last room proposed for a block: the lowest and highest room number, by text
// order, among the block's rooms whose type (looked up in "TipiCamere.mdb") is of class "C".
// Without such rooms the first is the single character 255 and the last is empty.
struct IntervalloCamere {
    std::string prima;
    std::string ultima;
};
IntervalloCamere ProponiIntervallo(db::RecordSet& numeriCamere,
                                   const std::filesystem::path& cartellaDati, std::int16_t hotel,
                                   std::int16_t tableau);
// The same, "TipiCamere.mdb" read from the source (the data directory or the chain's server).
IntervalloCamere ProponiIntervallo(db::RecordSet& numeriCamere, db::DataSource& origine,
                                   std::int16_t hotel, std::int16_t tableau);

// The rooms a chart of the block covers when the request names none (tableau mail): the
// range ProponiIntervallo proposes, read from "NumeriCamere.mdb" of the source; when it
// proposes none, every room of the block, from its lowest to its highest number. A block
// without rooms gives an empty range ("" to ""). Throws db::ErroreArchivio.
IntervalloCamere IntervalloDelTableau(db::DataSource& origine, std::int16_t hotel,
                                      std::int16_t tableau);
// The same from the data directory's files.
IntervalloCamere IntervalloDelTableau(const std::filesystem::path& cartellaDati, std::int16_t hotel,
                                      std::int16_t tableau);

}  // namespace tableau::chart
