#include "chart/chart_file.h"

#include "db/data_directory.h"
#include "routines/codepage.h"
#include "routines/environment.h"

namespace tableau::chart {

std::string NumeroPostazione() {
    return routines::VariabileAmbiente("PCLocal").value_or("");
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
