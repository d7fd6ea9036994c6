#include "print/document_copy.h"

#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "chart/chart_file.h"
#include "print/errors.h"
#include "routines/codepage.h"

namespace tableau::print {
namespace {

constexpr int kTentativiMassimi = 10000;

}  // namespace

std::filesystem::path NomeCopiaDocumento(const routines::Postazione& postazione,
                                         const routines::DataOra& m, int progressivo) {
    char momento[32];
    std::snprintf(momento, sizeof momento, "%04d%02d%02d%02d%02d", m.anno, m.mese, m.giorno, m.ore,
                  m.minuti);
    std::string nome = "fd" + routines::InUtf8(postazione.numero()) + momento;
    if (progressivo > 1) {
        nome += "_" + std::to_string(progressivo);
    }
    return std::filesystem::path("doc") / (nome + ".doc");
}

std::filesystem::path CopiaDocumento(const routines::Postazione& postazione,
                                     const routines::Orologio& orologio) {
    const std::filesystem::path& cartellaDati = postazione.cartellaDati();
    const routines::DataOra momento = orologio.adesso();
    std::error_code ignorato;
    std::filesystem::create_directory(cartellaDati / "doc", ignorato);

    const auto grafico = chart::TrovaFileTableau(postazione);
    if (!grafico) {
        return NomeCopiaDocumento(postazione, momento);
    }
    for (int progressivo = 1; progressivo <= kTentativiMassimi; ++progressivo) {
        const std::filesystem::path nome = NomeCopiaDocumento(postazione, momento, progressivo);
        std::error_code errore;
        // Without overwrite the target is created exclusively: an existing copy stays.
        std::filesystem::copy_file(*grafico, cartellaDati / nome,
                                   std::filesystem::copy_options::none, errore);
        if (!errore) {
            return nome;
        }
        if (errore != std::errc::file_exists) {
            throw ErroreStampa("Impossibile copiare il tableau in " + nome.string() + ": " +
                               errore.message());
        }
    }
    throw ErroreStampa("Troppe copie del tableau nello stesso minuto in doc");
}

}  // namespace tableau::print
