// The configuration files of the data directory: "SeparatoreXLS.txt" (the spreadsheet
// export's separators, Windows-1252 or UTF-8) and "FontStp.txt" (the page printer's font),
// both written from the same bytes into a scratch data directory and read as the program
// reads them; then the twelve numbers of a print type's settings text. None of them fails
// on any content.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "export/csv_export.h"
#include "print/print_settings.h"

namespace {

namespace fs = std::filesystem;

// The scratch data directory, one per fuzzing process (removed by scripts/fuzz.sh with
// its scratch folder).
const fs::path& CartellaDati() {
    static const fs::path cartella = [] {
        const char* tmp = std::getenv("TMPDIR");
        fs::path c = fs::path(tmp && *tmp ? tmp : "/tmp") /
                     ("tableau-fuzz-configurazione-" + std::to_string(::getpid()));
        fs::create_directories(c);
        return c;
    }();
    return cartella;
}

void Scrivi(const fs::path& file, std::string_view contenuto) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) {
        std::abort();
    }
    if (!contenuto.empty() &&
        std::fwrite(contenuto.data(), 1, contenuto.size(), f) != contenuto.size()) {
        std::abort();
    }
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau;
    const std::string_view contenuto(reinterpret_cast<const char*>(dati), dimensione);
    const fs::path& cartella = CartellaDati();

    Scrivi(cartella / "SeparatoreXLS.txt", contenuto);
    const exports::SeparatoriXLS separatori = exports::LeggiSeparatoriXLS(cartella);
    // A chart line with borders, a decimal comma and an amount, converted with them.
    (void)exports::ConvertiRigaXLS("101  \xB3(2)(prenotata) \xB3 12,50 \xB3", separatori);

    Scrivi(cartella / "FontStp.txt", contenuto);
    const std::string font = print::LeggiFontStampa(cartella);
    if (font.empty() || font.front() == ' ' || font.back() == ' ') {
        std::abort();
    }

    for (const double valore : print::DodiciValori(contenuto)) {
        if (!std::isfinite(valore)) {
            std::abort();
        }
    }
    return 0;
}
