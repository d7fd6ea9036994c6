// The Jet reader's record stream, fed in two pieces; bytes that do not form a stream must
// end in std::runtime_error.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "db/jet/jet_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::db::jet::jet_stream;
    const std::string_view flusso(reinterpret_cast<const char*>(dati), dimensione);
    // A row filter like the one the Jet database makes from its criteria.
    Decoder decoder([](const std::vector<std::string>& colonne) -> RowFilter {
        const std::size_t n = colonne.size();
        return [n](const std::vector<tableau::db::Value>& riga) { return riga.size() == n; };
    });
    try {
        const std::size_t meta = flusso.size() / 2;
        decoder.feed(flusso.substr(0, meta));
        decoder.feed(flusso.substr(meta));
        (void)decoder.complete();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
