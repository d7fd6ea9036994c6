#include "print/document_copy.h"

#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "chart/chart_file.h"
#include "routines/codepage.h"

namespace tableau::print {
namespace {

constexpr int kTentativiMassimi = 10000;

}  // namespace

std::filesystem::path NomeCopiaDocumento(const routines::DataOra& m, int progressivo) {
    char momento[32];
    std::snprintf(momento, sizeof momento, "%04d%02d%02d%02d%02d", m.anno, m.mese, m.giorno, m.ore,
                  m.minuti);
    std::string nome = "fd" + routines::InUtf8(chart::NumeroPostazione()) + momento;
    if (progressivo > 1) {
        nome += "_" + std::to_string(progressivo);
    }
    return std::filesystem::path("doc") / (nome + ".doc");
}

std::filesystem::path CopiaDocumento(const std::filesystem::path& cartellaDati,
                                     const routines::Orologio& orologio) {
    const routines::DataOra momento = orologio.adesso();
    std::error_code ignorato;
    std::filesystem::create_directory(cartellaDati / "doc", ignorato);

    const auto grafico = chart::TrovaFileTableau(cartellaDati);
    if (!grafico) {
        return NomeCopiaDocumento(momento);
    }
    for (int progressivo = 1; progressivo <= kTentativiMassimi; ++progressivo) {
        const std::filesystem::path nome = NomeCopiaDocumento(momento, progressivo);
        std::error_code errore;
        // Without overwrite the target is created exclusively: an existing copy stays.
        std::filesystem::copy_file(*grafico, cartellaDati / nome,
                                   std::filesystem::copy_options::none, errore);
        if (!errore) {
            return nome;
        }
        if (errore != std::errc::file_exists) {
            throw std::runtime_error("Impossibile copiare il tableau in " + nome.string() + ": " +
                                     errore.message());
        }
    }
    throw std::runtime_error("Troppe copie del tableau nello stesso minuto in doc");
}

}  // namespace tableau::print
