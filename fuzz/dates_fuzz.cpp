// The date routines on typed texts: LeggiData reads what DataValida accepts, and FormattaData
// takes any text. None of them fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "routines/dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::routines;
    const std::string testo(reinterpret_cast<const char*>(dati), dimensione);

    // DataValida trims the text it accepts; LeggiData reads the text as it is given, as
    // its callers give it once checked, and must read every text DataValida accepted.
    std::string daControllare = testo;
    const bool valida = DataValida(daControllare);
    const auto data = LeggiData(daControllare);
    if (valida && !data) {
        std::abort();
    }
    if (data) {
        (void)GiornoSettimana(*data);
        (void)TestoData(*data);
        (void)ChiaveData(*data);
    }

    std::string daFormattare = testo;
    (void)FormattaData(daFormattare, 2026);
    std::string formattata = testo;
    (void)FormattaData(formattata, 1900);
    (void)DataValida(formattata);
    return 0;
}
