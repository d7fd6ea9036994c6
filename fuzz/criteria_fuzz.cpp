// Criteria texts compiled against a fixed table; a malformed text must end in ErroreArchivio.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/criteria.h"
#include "db/errors.h"

namespace {

const std::vector<std::string> kColonne = {"NumeroHotel", "NumeroCamera", "DataArrivo", "Cognome",
                                           "Persone"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::db;
    const std::string testo(reinterpret_cast<const char*>(dati), dimensione);
    try {
        const CompiledCriteria criterio(testo, kColonne, "Prenotazioni");
        // Every placeholder bound to the same value; each column answers a value of its own
        // kind, so that the comparisons run too.
        const std::vector<Value> parametri(criterio.paramCount(), Value::integer(1));
        const auto valore = [](int colonna) {
            switch (colonna) {
                case 0:
                case 4:
                    return Value::integer(colonna);
                case 3:
                    return Value();
                default:
                    return Value::text("101");
            }
        };
        (void)criterio.matches(valore, parametri);
    } catch (const ErroreArchivio&) {
    }
    return 0;
}
