#include "chart/errors.h"

namespace tableau::chart {

RichiestaRifiutata::RichiestaRifiutata(Difetto difetto)
    : routines::RichiestaRifiutata(
          std::string(difetto == Difetto::camere ? kTestoCamere : kTestoData)),
      difetto_(difetto) {}

std::string_view RichiestaRifiutata::titolo() const {
    return difetto_ == Difetto::camere ? kTitoloCamere : kTitoloData;
}

ErroreFileTableau::ErroreFileTableau(std::string_view nomeFile, std::size_t riga,
                                     std::string_view motivo)
    : routines::Errore("Il file del tableau " + std::string(nomeFile) +
                       " non segue pi\xC3\xB9 lo schema del tableau alla riga " +
                       std::to_string(riga) + ": " + std::string(motivo) +
                       ". Correggerlo nell'anteprima o creare di nuovo il tableau."),
      riga_(riga) {}

}  // namespace tableau::chart
