#pragma once
// The checks a chart request must pass before the chart is built, one rule for the request
// window, the command line and the generator: the room range as text, then the start date.
// A refusal is a chart::RichiestaRifiutata (chart/errors.h).
#include <optional>
#include <string>
#include <string_view>

#include "chart/errors.h"

namespace tableau::chart {

// The range holds when the last room does not come before the first, compared character
// code by character code (room numbers are texts).
bool IntervalloValido(std::string_view primaCamera, std::string_view ultimaCamera);

// The first check the request fails, or nothing when it passes both. The date is checked
// as typed: surrounding blanks are allowed, then exactly dd/mm/yyyy of a real day.
std::optional<Difetto> DifettoRichiesta(std::string_view primaCamera, std::string_view ultimaCamera,
                                        std::string_view dataInizio);

// Throws RichiestaRifiutata for the first check the request fails.
void ControllaRichiesta(std::string_view primaCamera, std::string_view ultimaCamera,
                        std::string_view dataInizio);

}  // namespace tableau::chart
