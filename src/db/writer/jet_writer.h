#pragma once
// Writes hotel tables as Jet 4 (Access 2000) database files, for the tests, the demo data and
// the benchmark: the program itself only reads Jet files. The files hold what readers of the
// format need and nothing more: the catalog (MSysObjects), the tables' definitions without
// indexes, and their rows, texts as uncompressed UCS-2, in the order given.
#include <filesystem>
#include <string>
#include <vector>

#include "db/writer/sqlite_writer.h"

namespace tableau::db::writer {

struct JetColumn {
    enum class Type { Long, Double, Text };  // Long Integer, Double, Text (255)
    std::string name;
    Type type;
};

struct JetTable {
    std::string name;
    std::vector<JetColumn> columns;
    std::vector<std::vector<Cell>> rows;  // one value a column, null for a missing one
};

// Writes a new Jet 4 file holding the tables, replacing an existing file; the same tables
// give the same bytes. Throws db::ErroreArchivio for a value that does not fit its column
// (a Long out of the 32-bit range, a text over 255 characters or outside the Basic
// Multilingual Plane, a value of the wrong kind), a row larger than a page, bad or repeated
// names, or a file that cannot be written.
void WriteJetFile(const std::filesystem::path& path, const std::vector<JetTable>& tables);

// Rewrites the SQLite hotel file `sqliteFile` as a Jet 4 file at `jetFile`: the tables of
// hotelSchema() found in it with the schema's columns (Integer as Long, Text as Text), rows
// in rowid order. Throws db::ErroreArchivio when the file holds none of the hotel tables or a
// value does not fit.
void ConvertHotelFileToJet(const std::filesystem::path& sqliteFile,
                           const std::filesystem::path& jetFile);

}  // namespace tableau::db::writer
