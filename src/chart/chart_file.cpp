#include "chart/chart_file.h"

#include "db/data_directory.h"
#include "routines/codepage.h"
#include "routines/environment.h"

namespace tableau::chart {
namespace {

bool NomeDiFileSicuro(const std::string& testo) {
    if (testo.find("..") != std::string::npos) {
        return false;
    }
    for (const char c : testo) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string NumeroPostazione() {
    std::string numero = routines::VariabileAmbiente("PCLocal").value_or("");
    if (!NomeDiFileSicuro(numero)) {
        // The value itself is left out: it may hold control characters.
        throw ErrorePostazione(
            "Il numero della postazione (variabile PCLocal) non pu\xC3\xB2 far parte del nome "
            "di un file: non deve contenere \"/\", \"\\\", \"..\" n\xC3\xA9 caratteri di "
            "controllo");
    }
    return numero;
}

std::string NomeFileTableau() {
    return "FD" + NumeroPostazione();
}

std::filesystem::path PercorsoFileTableau(const std::filesystem::path& cartellaDati) {
    return cartellaDati / routines::cp1252ToUtf8(NomeFileTableau());
}

std::optional<std::filesystem::path> TrovaFileTableau(const std::filesystem::path& cartellaDati) {
    auto found = db::findFileIgnoringCase(cartellaDati, routines::cp1252ToUtf8(NomeFileTableau()));
    if (found && !std::filesystem::is_regular_file(*found)) {
        return std::nullopt;
    }
    return found;
}

}  // namespace tableau::chart
