#pragma once
// The checks a chart request must pass before the chart is built, one rule for the request
// window, the command line and the generator: the room range as text, then the start date.
// A refusal carries the message box's text and title (Windows-1252, line breaks as the
// message box takes them).
#include <optional>
#include <string>
#include <string_view>

#include "routines/errors.h"

namespace tableau::chart {

inline constexpr std::string_view kTestoCamere = "Controllare l'intervallo di camere richiesto!";
inline constexpr std::string_view kTitoloCamere = "Camere errate!";
inline constexpr std::string_view kTestoData =
    "La data deve essere inserita \r\nnel formato gg/mm/aaaa";
inline constexpr std::string_view kTitoloData = "Data errata!";

// What a refused request gets wrong, in the order the checks run.
enum class Difetto { camere, data };

class RichiestaRifiutata : public routines::RichiestaRifiutata {
  public:
    explicit RichiestaRifiutata(Difetto difetto);
    Difetto difetto() const { return difetto_; }
    std::string_view titolo() const;

  private:
    Difetto difetto_;
};

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
