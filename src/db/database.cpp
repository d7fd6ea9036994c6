#include "db/database.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "db/data_directory.h"
#include "db/errors.h"
#include "db/jet/jet_database.h"
#include "db/jet/jet_format.h"
#include "db/sqlite/sqlite_database.h"
#include "routines/settings.h"

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
        case DatabaseFormat::Server:
            return "PostgreSQL";
    }
    return "?";
}

void Database::scanTable(const std::string& table, TableScan& scan) {
    const RecordSet whole = openTable(table);
    scan.fields(whole.fieldNames(), whole.fieldTypes());
    for (const auto& row : whole.rows()) {
        scan.row(row);
    }
}

namespace {

// What a name that is not a regular file turns out to be, for the message.
std::string FileKindName(std::filesystem::file_type type) {
    switch (type) {
        case std::filesystem::file_type::directory:
            return "una cartella";
        case std::filesystem::file_type::fifo:
            return "una pipe";
        case std::filesystem::file_type::socket:
            return "un socket";
        case std::filesystem::file_type::block:
        case std::filesystem::file_type::character:
            return "un dispositivo";
        default:
            return "un file speciale";
    }
}

}  // namespace

std::unique_ptr<Database> OpenDatabase(const std::filesystem::path& cartellaDati,
                                       std::string_view bareName) {
    const auto path = FindFileIgnoringCase(cartellaDati, bareName);
    if (!path) {
        throw ErroreArchivio("Archivio " + std::string(bareName) + " non trovato nella cartella " +
                             std::filesystem::absolute(cartellaDati).lexically_normal().string());
    }
    std::error_code error;
    const auto fileStatus = std::filesystem::status(*path, error);
    if (error) {
        // A broken link reads as not found; a link loop or an unreadable folder says why.
        if (error == std::errc::no_such_file_or_directory) {
            throw ErroreArchivio(
                "Archivio " + std::string(bareName) + " non trovato nella cartella " +
                std::filesystem::absolute(cartellaDati).lexically_normal().string());
        }
        throw ErroreArchivio("Archivio " + std::string(bareName) + ": impossibile leggere " +
                             path->string() + ": " +
                             (error == std::errc::too_many_symbolic_link_levels
                                  ? std::string("i collegamenti simbolici rimandano l'uno "
                                                "all'altro senza fine")
                                  : error.message()));
    }
    if (!std::filesystem::is_regular_file(fileStatus)) {
        throw ErroreArchivio("Archivio " + std::string(bareName) + ": " + path->string() +
                             " non \xC3\xA8 un file ma " + FileKindName(fileStatus.type()));
    }
    {
        const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            const int code = errno;
            if (code == EACCES || code == EPERM) {
                throw ErroreArchivio("Archivio " + std::string(bareName) +
                                     ": permesso negato, impossibile leggere " + path->string());
            }
            throw ErroreArchivio("Archivio " + std::string(bareName) + ": impossibile leggere " +
                                 path->string() + ": " + std::strerror(code));
        }
        ::close(fd);
    }
    if (sqlite::SqliteDatabase::recognises(*path)) {
        return std::make_unique<sqlite::SqliteDatabase>(*path, std::string(bareName));
    }
    if (const auto jetFormat = jet::JetFormatOf(*path)) {
        return std::make_unique<jet::JetDatabase>(*path, std::string(bareName), *jetFormat);
    }
    throw ErroreArchivio("Archivio " + std::string(bareName) +
                         ": formato non riconosciuto (atteso un archivio Jet o SQLite)");
}

std::chrono::milliseconds ReadPatience() {
    return routines::AttesaRegolata("TABLEAU_ATTESA_JET", kDefaultPatience);
}

}  // namespace tableau::db
