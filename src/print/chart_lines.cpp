#include "print/chart_lines.h"

#include <fstream>
#include <iterator>

#include "chart/chart_file.h"
#include "print/print_error.h"
#include "routines/codepage.h"

namespace tableau::print {

std::vector<std::string> DividiRighe(std::string_view testo) {
    std::vector<std::string> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const auto fine = testo.find_first_of("\r\n", inizio);
        if (fine == std::string_view::npos) {
            righe.emplace_back(testo.substr(inizio));
            break;
        }
        righe.emplace_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 1;
        if (testo[fine] == '\r' && inizio < testo.size() && testo[inizio] == '\n') {
            ++inizio;
        }
    }
    return righe;
}

std::vector<std::string> LeggiRigheTableau(const std::filesystem::path& cartellaDati) {
    const auto file = TrovaFileTableau(cartellaDati);
    if (!file) {
        throw ErroreStampa("File del tableau " + cp1252ToUtf8(NomeFileTableau()) +
                           " non trovato nella cartella " + cartellaDati.string());
    }
    std::ifstream in(*file, std::ios::binary);
    std::string testo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
        throw ErroreStampa("Impossibile leggere il file del tableau " + file->string());
    }
    return DividiRighe(testo);
}

}  // namespace tableau::print
