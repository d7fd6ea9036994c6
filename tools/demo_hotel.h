#pragma once
// A realistic demo data directory: two hotels, their room blocks and rooms, guests and
// bookings around a given day, arrangements, companies and a print configuration.
#include <filesystem>

#include "routines/dates.h"

namespace tableau::tools {

// Writes every database file of the suite into the directory (created when missing);
// the stays are placed around `oggi`. The same day always gives the same data.
void scriviHotelDemo(const std::filesystem::path& cartellaDati, const routines::Data& oggi);

// The same demo hotel as Jet 4 files under the same names: the SQLite files are written in
// a temporary directory, removed afterwards, and each is rewritten into the directory.
void scriviHotelDemoJet(const std::filesystem::path& cartellaDati, const routines::Data& oggi);

}  // namespace tableau::tools
