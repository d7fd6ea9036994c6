// The spreadsheet export's conversion of chart lines. The first three bytes choose the
// separators; the rest is the chart text, converted line by line as ConvertiXLS does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "export/csv_export.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::exports;
    std::string_view testo(reinterpret_cast<const char*>(dati), dimensione);
    SeparatoriXLS separatori;
    if (testo.size() >= 3) {
        separatori.separatoreCampi = std::string(1, testo[0]);
        separatori.separatoreDecimali = std::string(1, testo[1]);
        separatori.simboloValuta = std::string(1, testo[2]);
        testo.remove_prefix(3);
    }
    while (!testo.empty()) {
        const std::size_t fine = testo.find('\n');
        std::string_view riga = testo.substr(0, fine);
        if (!riga.empty() && riga.back() == '\r') {
            riga.remove_suffix(1);
        }
        (void)ConvertiRigaXLS(riga, separatori);
        testo.remove_prefix(fine == std::string_view::npos ? testo.size() : fine + 1);
    }
    return 0;
}
