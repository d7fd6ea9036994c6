// The text routines on any bytes: the code page conversions, trimming and cutting, the
// lines of a text file and the numbers read out of texts. None of them fails, and a
// Windows-1252 text comes back unchanged from its UTF-8 form.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "routines/codepage.h"
#include "routines/numeric_value.h"
#include "routines/text.h"
#include "routines/text_file.h"

namespace {

void Verifica(bool condizione) {
    if (!condizione) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::routines;
    const std::string_view testo(reinterpret_cast<const char*>(dati), dimensione);

    // Windows-1252 to UTF-8 and back: every byte survives; the UTF-8 form is well made.
    const std::string utf8 = InUtf8(testo);
    Verifica(InCp1252(utf8) == testo);
    const bool alti = std::any_of(testo.begin(), testo.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    Verifica(ScrittoInUtf8(utf8) == alti);
    // Any bytes read as UTF-8: at most one character per byte.
    Verifica(InCp1252(testo).size() <= testo.size());
    (void)ScrittoInUtf8(testo);

    const std::string pulito = TogliSpazi(testo);
    Verifica(pulito.size() <= testo.size());
    Verifica(pulito.empty() || (pulito.front() != ' ' && pulito.back() != ' '));
    Verifica(Sinistra(testo, dimensione / 2) == testo.substr(0, dimensione / 2));
    Verifica(StessoNome(testo, testo));
    Verifica(TestoTraAsterischi(testo).size() <= testo.size());
    for (const char c : testo) {
        (void)Maiuscola(c);
    }

    std::size_t caratteri = 0;
    for (const auto& riga : RigheDelTesto(testo)) {
        Verifica(riga.find_first_of("\r\n") == std::string::npos);
        caratteri += riga.size();
    }
    Verifica(caratteri <= testo.size());

    Verifica(std::isfinite(ValoreNumerico(testo)));
    if (TestoNumerico(testo)) {
        Verifica(!TogliSpazi(testo).empty());
    }
    return 0;
}
