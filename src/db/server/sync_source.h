#pragma once
// The ten hotel tables of a data directory as the sync reads them, all of them before a
// byte goes to the server: each field given the server type that keeps its values, every
// value checked against it, and the rows the sync keeps.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/record_set.h"
#include "db/server/copy_text.h"

namespace tableau::db::server {

struct SyncSource {
    std::string file;                 // "Scheda_Cliente.mdb"
    std::string table;                // "Scheda_Cliente", as ServerTables() names it
    std::vector<std::string> fields;  // UTF-8, in the file's order
    std::vector<ServerType> types;    // one a field
    RecordSet rows;                   // every row of the file's table, in the file's order
    // The places (0, 1, ...) of the rows the sync sends, ascending.
    std::vector<std::size_t> kept;
    // With a history limit, for the tables it narrows: the first day (yyyymmdd) of the
    // departures kept; empty when every row is kept.
    std::string keptFrom;
};

// The server type of each field, from the type its file declares: integers as bigint, reals
// as double precision (whole numbers within 2^53 too), texts as text; a field of no
// definite type (SQLite's NUMERIC or none) as its values go. Throws ErroreArchivio naming
// the file, table, field and row of a value its column cannot keep as it is (a text in a
// number field, a real in an integer one, a text holding the null character) or of a field
// name the server cannot have.
std::vector<ServerType> ServerTypes(const std::string& file, const RecordSet& rows,
                                    const std::vector<std::string>& fieldsUtf8);

// The day `months` months before `today` (yyyymmdd), the day of the month kept where the
// month has it, else its last day ("20260331" less one month is "20260228").
std::string MonthsBefore(const std::string& today, int months);

// Reads and checks the ten tables: each must have the fields the chart reads (hotelSchema()),
// else ErroreArchivio names every file, table and field missing. With historyMonths only the guests
// and booked rooms whose DataPartenza is on or after the day so many months before `today` (or is
// null or not a yyyymmdd date) are kept, and the booking headers whose NumeroPrenotazione is among
// the kept booked rooms'. Throws ErroreArchivio naming a missing or damaged file.
std::vector<SyncSource> ReadSyncSources(const std::filesystem::path& cartellaDati,
                                        std::optional<int> historyMonths, const std::string& today);

}  // namespace tableau::db::server
