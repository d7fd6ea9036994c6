// The chart file on its way into the morning mail: the frame drawn in Unicode for the text
// attachment, and subject, text and attachment name from the chart read back. Each must
// give UTF-8 for any bytes; a text beyond the layout ends in ErroreFileTableau.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chart/chart_reader.h"
#include "export/text_export.h"
#include "mail/chart_mail.h"

namespace {

// Well-formed UTF-8 (no overlong two-byte forms), or the target stops.
void Utf8(std::string_view testo) {
    for (std::size_t i = 0; i < testo.size();) {
        const auto c = static_cast<unsigned char>(testo[i]);
        std::size_t seguito = 0;
        if (c >= 0xF0 && c <= 0xF4) {
            seguito = 3;
        } else if (c >= 0xE0 && c <= 0xEF) {
            seguito = 2;
        } else if (c >= 0xC2 && c <= 0xDF) {
            seguito = 1;
        } else if (c >= 0x80) {
            std::abort();
        }
        for (std::size_t k = 1; k <= seguito; ++k) {
            if (i + k >= testo.size() ||
                (static_cast<unsigned char>(testo[i + k]) & 0xC0) != 0x80) {
                std::abort();
            }
        }
        i += seguito + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau;
    const std::string_view testo(reinterpret_cast<const char*>(dati), dimensione);
    Utf8(exports::TableauInUtf8(testo));
    try {
        const chart::TableauLetto letto = chart::LeggiTableau(testo, "FD1");
        Utf8(mail::OggettoPosta(letto));
        Utf8(mail::TestoPosta(letto));
        Utf8(mail::NomeAllegato(letto, "pdf"));
    } catch (const chart::ErroreFileTableau&) {
    }
    return 0;
}
