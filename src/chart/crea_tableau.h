#pragma once
// The weekly chart generator: from one confirmed request it writes the chart file of a
// hotel's room block, seven days from the start date.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "db/data_source.h"
#include "routines/clock.h"
#include "routines/errors.h"
#include "routines/workstation.h"

namespace tableau::chart {

struct RichiestaTableau {
    std::int16_t hotel = 0;    // the hotel chosen (hotelCorrente)
    std::int16_t tableau = 0;  // the room block chosen (tableauCorrente)
    std::string primaCamera;   // first room, as typed (Windows-1252)
    std::string ultimaCamera;  // last room, as typed
    std::string dataInizio;    // start date dd/mm/yyyy, as typed
};

// The request in one line for the system log (UTF-8): hotel, block, rooms and week, no
// guest's data.
std::string DescriviRichiesta(const RichiestaTableau& richiesta,
                              const routines::Postazione& postazione);

// Writes the workstation's chart file into its data directory, replacing it atomically:
// when the run fails the previous chart stays whole. Throws RichiestaRifiutata for a request
// that fails the request checks (nothing is written), db::ErroreArchivio for a missing file,
// table or field, routines::ErroreOverflow, routines::ErrorePostazione, routines::Errore for a file
// that cannot be written. The clock gives the generation time in the title line.
void CreaTableau(const routines::Postazione& postazione, const RichiestaTableau& richiesta,
                 const routines::Orologio& orologio);

// The same, reading the hotel tables from the source (the data directory's files or the
// chain's server, whose failures are db::ErroreServer). A read a standby cancels for its recovery
// is made once more in a new snapshot.
void CreaTableau(db::DataSource& origine, const routines::Postazione& postazione,
                 const RichiestaTableau& richiesta, const routines::Orologio& orologio);

// The chart of the request as CreaTableau writes it (lines ended by CR LF), into a text
// instead of the chart file: nothing is written. Throws as CreaTableau.
std::string TestoTableau(db::DataSource& origine, const RichiestaTableau& richiesta,
                         const routines::Orologio& orologio);

// Writes a chart's text (TestoTableau's) as the workstation's chart file, replacing it
// atomically. Throws routines::ErrorePostazione, routines::Errore for a file that cannot be
// written.
void ScriviFileTableau(const routines::Postazione& postazione, std::string_view testo);

}  // namespace tableau::chart
