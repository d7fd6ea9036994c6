#include "db/database.h"

#include "db/data_directory.h"
#include "db/errors.h"
#include "db/jet_database.h"
#include "db/jet_format.h"
#include "db/sqlite_database.h"

namespace tableau::db {

const char* formatName(DatabaseFormat format) {
    switch (format) {
        case DatabaseFormat::Sqlite:
            return "SQLite";
        case DatabaseFormat::Jet3:
            return "Jet 3";
        case DatabaseFormat::Jet4:
            return "Jet 4";
        case DatabaseFormat::Ace:
            return "ACE";
    }
    return "?";
}

std::unique_ptr<Database> openDatabase(const std::filesystem::path& cartellaDati,
                                       std::string_view bareName) {
    const auto path = findFileIgnoringCase(cartellaDati, bareName);
    if (!path || !std::filesystem::is_regular_file(*path)) {
        throw ErroreArchivio("Archivio " + std::string(bareName) + " non trovato nella cartella " +
                             std::filesystem::absolute(cartellaDati).lexically_normal().string());
    }
    if (SqliteDatabase::recognises(*path)) {
        return std::make_unique<SqliteDatabase>(*path, std::string(bareName));
    }
    if (const auto jet = jetFormatOf(*path)) {
        return std::make_unique<JetDatabase>(*path, std::string(bareName), *jet);
    }
    throw ErroreArchivio("Archivio " + std::string(bareName) +
                         ": formato non riconosciuto (atteso un archivio Jet o SQLite)");
}

}  // namespace tableau::db
