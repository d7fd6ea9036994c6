#include "db/database.h"

#include "db/data_directory.h"
#include "db/errors.h"
#include "db/sqlite_database.h"

namespace tableau::db {

std::unique_ptr<Database> openDatabase(const std::filesystem::path& directory,
                                       std::string_view bareName) {
    const auto path = findFileIgnoringCase(directory, bareName);
    if (!path || !std::filesystem::is_regular_file(*path)) {
        throw DatabaseError("Archivio " + std::string(bareName) + " non trovato nella cartella " +
                            std::filesystem::absolute(directory).lexically_normal().string());
    }
    if (SqliteDatabase::recognises(*path)) {
        return std::make_unique<SqliteDatabase>(*path, std::string(bareName));
    }
    throw DatabaseError("Archivio " + std::string(bareName) +
                        ": formato non riconosciuto (atteso un archivio SQLite)");
}

}  // namespace tableau::db
