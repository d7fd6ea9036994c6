#pragma once
// The sync of the large hotel into a schema of a PostgreSQL server, against psql's \copy of
// the same rows from sqlite3's CSV; then its chart from the server against the files.
#include <filesystem>
#include <ostream>
#include <string>

#include "routines/clock.h"

namespace tableau::bench {

// Writes into the schemas bench_sync and bench_copia of the server (replacing them). Returns
// false when the chart from the server differs from the chart from the files.
bool MisuraSincronizzazione(const std::filesystem::path& dir, const std::string& conninfo,
                            const routines::Orologio& orologio, std::ostream& out);

}  // namespace tableau::bench
