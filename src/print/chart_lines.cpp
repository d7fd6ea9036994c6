#include "print/chart_lines.h"

#include <fstream>
#include <iterator>

#include "chart/chart_file.h"
#include "print/print_error.h"
#include "routines/codepage.h"
#include "routines/text_file.h"

namespace tableau::print {

std::vector<std::string> LeggiRigheTableau(const std::filesystem::path& cartellaDati) {
    const auto file = chart::TrovaFileTableau(cartellaDati);
    if (!file) {
        throw ErroreStampa("File del tableau " + routines::cp1252ToUtf8(chart::NomeFileTableau()) +
                           " non trovato nella cartella " + cartellaDati.string());
    }
    std::ifstream in(*file, std::ios::binary);
    std::string testo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
        throw ErroreStampa("Impossibile leggere il file del tableau " + file->string());
    }
    return routines::RigheDelTesto(testo);
}

}  // namespace tableau::print
