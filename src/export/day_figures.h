#pragma once
// The day's figures as every view of the week shows them under the totals (the PDF, the web
// page): one row per figure, its label and the seven days' texts. Arrivals and departures
// are rooms with their persons in brackets ("2 (3)"). ASCII texts, the same in Windows-1252
// and in UTF-8.
#include <array>
#include <string>
#include <string_view>

#include "chart/chart_reader.h"

namespace tableau::exports {

struct RigaFigureGiorno {
    std::string_view etichetta;  // "Arrivi"
    std::array<std::string, chart::kGiorniTableau> valori;
};

inline constexpr std::size_t kRigheFigureGiorno = 5;

// Arrivals, departures, rooms in use, free rooms, persons in the house, in this order.
inline std::array<RigaFigureGiorno, kRigheFigureGiorno> RigheFigureGiorno(
    const std::array<chart::ConteggioGiorno, chart::kGiorniTableau>& conteggi) {
    const auto conPersone = [](long camere, long persone) {
        return std::to_string(camere) + " (" + std::to_string(persone) + ")";
    };
    std::array<RigaFigureGiorno, kRigheFigureGiorno> righe{
        {{"Arrivi", {}}, {"Partenze", {}}, {"Occupate", {}}, {"Libere", {}}, {"Persone", {}}}};
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        const chart::ConteggioGiorno& c = conteggi[g];
        righe[0].valori[g] = conPersone(c.arrivi, c.personeInArrivo);
        righe[1].valori[g] = conPersone(c.partenze, c.personeInPartenza);
        righe[2].valori[g] = std::to_string(c.camereOccupate);
        righe[3].valori[g] = std::to_string(c.camereLibere);
        righe[4].valori[g] = std::to_string(c.persone);
    }
    return righe;
}

}  // namespace tableau::exports
