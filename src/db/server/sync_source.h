#pragma once
// The ten hotel tables of a data directory as the sync reads them, in two passes that keep
// no table in memory: first every table is surveyed (its fields, the server type of each,
// the rows the sync keeps, counted) before the server is touched; then each is read again
// row by row as it is copied, every value checked against its field's server type.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/in_filter.h"
#include "db/server/copy_text.h"

namespace tableau::db::server {

struct SyncSource {
    std::string file;                 // "Scheda_Cliente.mdb"
    std::string table;                // "Scheda_Cliente", as ServerTables() names it
    std::vector<std::string> fields;  // UTF-8, in the file's order
    std::vector<ServerType> types;    // one a field
    std::int64_t rows = 0;            // the table's rows when it was surveyed
    std::int64_t kept = 0;            // of them, the rows the sync sends
    // With a history limit, for the tables it narrows: the first day (yyyymmdd) of the
    // departures kept; empty when every row is kept.
    std::string keptFrom;

    // How the rows are read again and which are kept.
    std::shared_ptr<Database> database;
    std::vector<std::string> names;        // the fields as the file names them (Windows-1252)
    std::optional<std::size_t> departure;  // kept by DataPartenza from keptFrom
    std::optional<std::size_t> booking;    // kept when NumeroPrenotazione is
    std::shared_ptr<const InFilter> bookingsKept;  // among the kept booked rooms'
};

// The day `months` months before `today` (yyyymmdd), the day of the month kept where the
// month has it, else its last day ("20260331" less one month is "20260228").
std::string MonthsBefore(const std::string& today, int months);

// The day a sync counts back from: `today` when given (yyyymmdd), else the machine's date.
std::string SyncDay(const std::string& today);

// Surveys the ten tables, keeping none of their rows. Each must have the fields the chart
// reads (hotelSchema()), else ErroreArchivio names every file, table and field missing.
// Each field gets the server type that keeps its values, from the type its file declares:
// integers as bigint, reals as double precision (whole numbers within 2^53 too), texts as
// text; a field of no definite type (SQLite's NUMERIC or none) as its values go, and
// ErroreArchivio names the file, table, field and row of a text among numbers there, or a
// field name the server cannot have. With historyMonths only the guests and booked rooms
// whose DataPartenza is on or after the day so many months before `today` (or is null or
// not a yyyymmdd date) are kept, and the booking headers whose NumeroPrenotazione is among
// the kept booked rooms'. Throws ErroreArchivio naming a missing or damaged file.
std::vector<SyncSource> SurveySyncSources(const std::filesystem::path& cartellaDati,
                                          std::optional<int> historyMonths,
                                          const std::string& today);

// Reads the surveyed table again and hands on each row the sync keeps, with its place in
// the file (0, 1, ...), its values valid only for the call. Throws ErroreArchivio naming the
// file, table, field and row of a value its column cannot keep as it is (a text in a number
// field, a real in an integer one, a text holding the null character), or a table whose
// fields changed since the survey; lets the exceptions of `row` through.
void ReadSyncRows(const SyncSource& source,
                  const std::function<void(std::size_t place, const std::vector<Value>& row)>& row);

}  // namespace tableau::db::server
