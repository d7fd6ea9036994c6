#pragma once
// The nightly copy of a site's hotel tables into its schema on the chain's server.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/server/server_connection.h"

namespace tableau::db::server {

struct SyncOptions {
    // Keep only the guest and booking rows of stays that end within the last so many
    // months or later (counted back from today, "YYYYMMDD" or as the files write dates);
    // empty: every row.
    std::optional<int> historyMonths;
    std::string today;  // the day the months are counted back from, as the files write dates
    // Copy even tables that would be left empty or with less than half the rows the server
    // holds for them now (a hotel that really did clear its tables).
    bool force = false;
};

struct SyncedTable {
    std::string table;
    std::int64_t rows = 0;
};

// Copies the ten hotel tables of the data directory (SQLite or Jet files) into the schema,
// creating it, the tables and the indexes the chart's reads use when missing; records when
// and from where. All or nothing: readers see the old rows or the new, never a mix, and a
// failure (a missing or damaged file, a value its field cannot keep, a role that may not
// write, a dropped connection) leaves the server's previous data whole. Only the ten tables
// and the sync record are touched. No table is held in memory: the tables are surveyed
// first, then read again row by row as they are copied. Refused before anything is
// written: a table without a field the chart reads (ErroreArchivio naming file, table and
// field) and, unless options.force, a table the copy would leave empty or with less than
// half the rows it holds now (ErroreRiduzione naming the table and both counts; a file cut
// short between the survey and the copy is refused all the same). A value its field cannot
// keep is refused as the copy meets it (ErroreArchivio naming file, table, field and row).
// Throws ErroreArchivio naming the file, ErroreServer naming the server.
std::vector<SyncedTable> SyncToServer(const std::filesystem::path& cartellaDati,
                                      ServerConnection& connection, const std::string& schema,
                                      const SyncOptions& options);

}  // namespace tableau::db::server
