#include "chart/data_directory_check.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "db/database.h"
#include "db/errors.h"
#include "db/hotel_schema.h"

namespace tableau {
namespace {

// A criteria text that names the fields and selects no row: compiling it fails for a
// missing table or field, and the scan keeps nothing.
db::Criteria NessunaRiga(const std::vector<std::string_view>& campi) {
    std::string testo =
        std::string(campi.front()) + " Is Null and " + std::string(campi.front()) + " Is Not Null";
    for (std::size_t i = 1; i < campi.size(); ++i) {
        testo += " and " + std::string(campi[i]) + " Is Null";
    }
    return db::Criteria(testo);
}

// The failure of a select naming the fields, or nothing when it succeeds.
std::optional<std::string> Prova(db::Database& archivio, std::string_view tabella,
                                 const std::vector<std::string_view>& campi) {
    try {
        archivio.select(db::SelectStatement{std::string(tabella), NessunaRiga(campi), {}});
        return std::nullopt;
    } catch (const db::DatabaseError& e) {
        return std::string(e.what());
    }
}

void Aggiungi(std::vector<std::string>& problemi, std::string riga) {
    if (std::find(problemi.begin(), problemi.end(), riga) == problemi.end()) {
        problemi.push_back(std::move(riga));
    }
}

}  // namespace

std::vector<std::string> VerificaArchivi(const std::filesystem::path& cartella) {
    std::vector<std::string> problemi;
    std::string_view fileAperto;
    std::unique_ptr<db::Database> archivio;
    bool archivioMancante = false;
    for (const auto& tabella : db::hotelSchema()) {
        if (tabella.file != fileAperto) {
            fileAperto = tabella.file;
            archivio.reset();
            archivioMancante = false;
            try {
                archivio = db::openDatabase(cartella, tabella.file);
            } catch (const db::DatabaseError& e) {
                Aggiungi(problemi, e.what());
                archivioMancante = true;
            }
        }
        if (archivioMancante) {
            continue;
        }
        std::vector<std::string_view> campi;
        for (const auto& colonna : tabella.columns) {
            campi.push_back(colonna.name);
        }
        if (!Prova(*archivio, tabella.table, campi)) {
            continue;
        }
        // Something is missing: name each field apart (a missing table gives one line).
        const std::string prefisso = std::string(tabella.file) + ": ";
        for (const auto campo : campi) {
            if (const auto errore = Prova(*archivio, tabella.table, {campo})) {
                Aggiungi(problemi, prefisso + *errore);
            }
        }
    }
    return problemi;
}

}  // namespace tableau
