#include "print/chart_lines.h"

#include "chart/chart_file.h"
#include "print/print_error.h"
#include "routines/codepage.h"
#include "routines/text_file.h"

namespace tableau::print {

std::vector<std::string> LeggiRigheTableau(const std::filesystem::path& cartellaDati) {
    const auto file = chart::TrovaFileTableau(cartellaDati);
    if (!file) {
        throw ErroreStampa("File del tableau " + routines::InUtf8(chart::NomeFileTableau()) +
                           " non trovato nella cartella " + cartellaDati.string());
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
