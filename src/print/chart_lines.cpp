#include "print/chart_lines.h"

#include "chart/chart_file.h"
#include "print/errors.h"
#include "routines/codepage.h"
#include "routines/text_file.h"

namespace tableau::print {

std::vector<std::string> LeggiRigheTableau(const routines::Postazione& postazione) {
    const auto file = chart::TrovaFileTableau(postazione);
    if (!file) {
        throw ErroreStampa("File del tableau " +
                           routines::InUtf8(chart::NomeFileTableau(postazione)) +
                           " non trovato nella cartella " + postazione.cartellaDati().string());
    }
    std::string testo;
    try {
        testo = chart::LeggiTestoTableau(*file);
    } catch (const chart::ErroreLetturaTableau& e) {
        throw ErroreStampa(e.what());
    }
    return routines::RigheDelTesto(testo);
}

}  // namespace tableau::print
