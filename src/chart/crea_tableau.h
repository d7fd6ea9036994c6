#pragma once
// The weekly chart generator: from one confirmed request it writes the chart file of a
// hotel's room block, seven days from the start date.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "routines/clock.h"

namespace tableau {

struct RichiestaTableau {
    std::int16_t hotel = 0;    // HotelCorrente
    std::int16_t tableau = 0;  // TableauCorrente
    std::string primaCamera;   // first room, as typed (Windows-1252)
    std::string ultimaCamera;  // last room, as typed
    std::string dataInizio;    // start date dd/mm/yyyy, as typed; DataValida has accepted it
};

// A 16-bit counter of the chart (guests of a room and day, a weekly total, persons of a
// booking) would pass 32767.
class ErroreOverflow : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes the chart file NomeFileTableau() into the data directory, replacing it atomically:
// when the run fails the previous chart stays whole. Throws db::DatabaseError for a
// missing file, table or field, ErroreOverflow, std::runtime_error for a file that cannot
// be written, std::invalid_argument for a start date DataValida refuses. The clock gives
// the generation time in the title line.
void CreaTableau(const std::filesystem::path& dataDirectory, const RichiestaTableau& richiesta,
                 const Orologio& orologio);

}  // namespace tableau
