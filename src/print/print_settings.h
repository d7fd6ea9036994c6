#pragma once
// What the print job resolves before it prints: font, page length, the destination's
// settings row and the output.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "print/print_job.h"

namespace tableau::print {

struct ImpostazioniStampa {
    std::string fontStampa;
    std::int16_t lungPagina = 60;
    std::int16_t tipoStampa = 0;
    std::array<double, 12> c{};        // C1..C12 at c[0]..c[11]
    std::array<std::int16_t, 12> g{};  // G1..G12 at g[0]..g[11]
    std::int16_t righeMargine = 0;
    std::int16_t lungPaginaFile = 66;
    std::string uscita;

    double C(int i) const { return c[static_cast<std::size_t>(i - 1)]; }
    std::int16_t G(int i) const { return g[static_cast<std::size_t>(i - 1)]; }
    bool stampanteGrafica() const { return C(6) == 1.0; }
};

// The twelve numbers of a Compresso or Grassetto text: the numeric value of each
// three-character group (0 for an empty or missing group).
std::array<double, 12> DodiciValori(std::string_view testo);

// FontStampa: the first line of "FontStp.txt" trimmed, "Courier New" without the file or
// when that line is blank.
std::string LeggiFontStampa(const std::filesystem::path& cartellaDati);

// The whole resolution. Throws ErroreStampa when the destination has no Stampanti row.
ImpostazioniStampa RisolviImpostazioni(const std::filesystem::path& cartellaDati,
                                       const OpzioniStampa& opzioni);

}  // namespace tableau::print
