#pragma once
// Failures of the chart: a request refused before anything is read or written, a chart file
// that cannot be read or no longer follows the chart's layout. Messages are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

#include "routines/errors.h"

namespace tableau::chart {

// The message box's texts and titles of a refused request.
inline constexpr std::string_view kTestoCamere = "Controllare l'intervallo di camere richiesto!";
inline constexpr std::string_view kTitoloCamere = "Camere errate!";
inline constexpr std::string_view kTestoData =
    "La data deve essere inserita \r\nnel formato gg/mm/aaaa";
inline constexpr std::string_view kTitoloData = "Data errata!";

// What a refused request gets wrong, in the order the checks run.
enum class Difetto { camere, data };

// A request the checks refuse, with the message box's text and title (line breaks as the
// message box takes them). Nothing has been read or written.
class RichiestaRifiutata : public routines::RichiestaRifiutata {
  public:
    explicit RichiestaRifiutata(Difetto difetto);
    Difetto difetto() const { return difetto_; }
    std::string_view titolo() const;

  private:
    Difetto difetto_;
};

// The chart file cannot be read: missing, unreadable, or far larger than any chart.
class ErroreLetturaTableau : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

// A chart file that no longer follows the chart's layout; the message names the file and
// the line.
class ErroreFileTableau : public routines::Errore {
  public:
    ErroreFileTableau(std::string_view nomeFile, std::size_t riga, std::string_view motivo);
    std::size_t riga() const { return riga_; }

  private:
    std::size_t riga_;
};

}  // namespace tableau::chart
