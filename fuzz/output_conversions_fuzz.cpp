// The print path's conversions of a chart line: Converti2, SostituisciBordi and
// FiltraCaratteri. None of them fails on any text; Converti2 keeps the length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "print/output_conversions.h"
#include "routines/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau;
    const std::string_view riga(reinterpret_cast<const char*>(dati), dimensione);
    if (print::Converti2(riga).size() != riga.size()) {
        std::abort();
    }
    std::string bordi(riga);
    if (routines::SostituisciBordi(bordi).size() != riga.size()) {
        std::abort();
    }
    for (int modo = 0; modo <= 2; ++modo) {
        if (routines::FiltraCaratteri(riga, modo).empty()) {
            std::abort();
        }
    }
    return 0;
}
