#pragma once
// How a site's hotel tables are laid out in a schema of the chain's PostgreSQL database.
// The sync writes this layout and the server reads rely on it:
// - each of the ten hotel tables under its file's table name, its fields under the file's
//   field names (quoted identifiers, letter case kept), integers as bigint, reals as
//   double precision, texts as text (UTF-8, converted from the file's Windows-1252);
// - one extra field, kOrderColumn, the row's place in its file (0, 1, 2, ...): reads order
//   by it, so record sets come back in the files' order;
// - the table kSyncTable, one row: when the last sync ran and from which data directory.
#include <string>
#include <string_view>
#include <vector>

namespace tableau::db::server {

inline constexpr std::string_view kOrderColumn = "tableau_riga";
inline constexpr std::string_view kSyncTable = "tableau_sincronizzazione";

// A hotel table kept on the server, and the data directory file it comes from.
struct ServerTable {
    std::string_view file;   // "Scheda_Cliente.mdb"
    std::string_view table;  // "Scheda_Cliente"
};

// The ten hotel tables the server holds; the workstation's own files (print settings,
// counters, the chart) stay in the data directory.
const std::vector<ServerTable>& ServerTables();

// Whether a data directory file's tables are read from the server when one is set.
bool IsServerFile(std::string_view bareName);

// The schema name as PostgreSQL has an unquoted name: letters folded to lower case.
// Throws routines::RichiestaRifiutata unless it is a plain identifier (ASCII letters,
// digits and "_", not starting with a digit, at most 63 characters).
std::string CheckSchemaName(std::string_view name);

}  // namespace tableau::db::server
