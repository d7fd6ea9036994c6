#include "jet_export.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "db/hotel_schema.h"

namespace tableau::bench {

void EsportaTabelleDelTableau(const std::filesystem::path& cartellaJet) {
    static constexpr const char* kTabelle[] = {"NumeriCamere",
                                               "Scheda_Cliente",
                                               "Ditta_Intestataria",
                                               "AnagraficaHotels",
                                               "Tableau",
                                               "Arrangiamento",
                                               "NomiArrangiamenti",
                                               "Camere_Prenotazione",
                                               "Scheda_Prenotazione"};
    for (const char* tabella : kTabelle) {
        const auto file = cartellaJet / std::string(db::tableDescription(tabella).file);
        // The benchmark's own paths: no quote in them.
        const std::string comando =
            "mdb-export '" + file.string() + "' " + tabella + " > /dev/null";
        if (std::system(comando.c_str()) != 0) {
            throw std::runtime_error("mdb-export non riesce a leggere " + file.string());
        }
    }
}

}  // namespace tableau::bench
