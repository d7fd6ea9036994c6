#include "db/server/server_schema.h"

#include "routines/errors.h"

namespace tableau::db::server {

const std::vector<ServerTable>& ServerTables() {
    static const std::vector<ServerTable> tables = {
        {"AnagraficaHotels.mdb", "AnagraficaHotels"},
        {"Tableau.mdb", "Tableau"},
        {"NumeriCamere.mdb", "NumeriCamere"},
        {"TipiCamere.mdb", "TipiCamere"},
        {"Scheda_Cliente.mdb", "Scheda_Cliente"},
        {"Ditta_Intestataria.mdb", "Ditta_Intestataria"},
        {"Arrangiamento.mdb", "Arrangiamento"},
        {"Arrangiamenti.mdb", "NomiArrangiamenti"},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione"},
    };
    return tables;
}

bool IsServerFile(std::string_view bareName) {
    for (const ServerTable& t : ServerTables()) {
        if (t.file.size() == bareName.size()) {
            bool same = true;
            for (std::size_t i = 0; i < bareName.size() && same; ++i) {
                const auto lower = [](char c) {
                    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                };
                same = lower(t.file[i]) == lower(bareName[i]);
            }
            if (same) {
                return true;
            }
        }
    }
    return false;
}

std::string CheckSchemaName(std::string_view name) {
    const auto refuse = [&](const std::string& why) {
        throw routines::RichiestaRifiutata("Nome di schema non valido \"" + std::string(name) +
                                           "\": " + why + ".");
    };
    if (name.empty()) {
        refuse("è vuoto");
    }
    if (name.size() > 63) {
        refuse("supera i 63 caratteri");
    }
    if (name[0] >= '0' && name[0] <= '9') {
        refuse("non può cominciare con una cifra");
    }
    std::string folded;
    for (const char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '_') {
            refuse("ammette solo lettere, cifre e \"_\"");
        }
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

}  // namespace tableau::db::server
