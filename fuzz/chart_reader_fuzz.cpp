// The chart file read back; a text beyond the layout must end in ErroreFileTableau.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chart/chart_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::chart;
    const std::string_view testo(reinterpret_cast<const char*>(dati), dimensione);
    try {
        const TableauLetto letto = LeggiTableau(testo, "FD1");
        for (const auto& camera : letto.camere) {
            for (const auto& giorno : camera.giorni) {
                (void)PersoneEStato(giorno);
                (void)CodiceENota(giorno);
            }
        }
    } catch (const ErroreFileTableau&) {
    }
    return 0;
}
