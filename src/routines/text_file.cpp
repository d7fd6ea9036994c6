#include "routines/text_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "routines/errors.h"

namespace tableau::routines {

std::vector<std::string> RigheDelTesto(std::string_view testo) {
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

std::string LeggiFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        throw ErroreFile("Impossibile leggere il file " + file.string());
    }
    std::string testo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw ErroreFile("Errore di lettura del file " + file.string());
    }
    return testo;
}

}  // namespace tableau::routines
