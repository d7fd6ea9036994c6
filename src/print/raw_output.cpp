#include "print/raw_output.h"

#include <cmath>

#include "routines/text.h"

namespace tableau::print {
namespace {

constexpr std::string_view kFineRiga = "\r\n";
constexpr char kSaltoPagina = '\x0C';

// The page ends, margins and count of the raw path.
class ImpaginatoreGrezzo {
  public:
    ImpaginatoreGrezzo(const ImpostazioniStampa& imp, bool riempi, UscitaGrezza& uscita)
        : imp_(imp), riempi_(riempi), uscita_(uscita) {}

    void righeMargine() {
        for (int i = 0; i < imp_.righeMargine; ++i) {
            riga(" ");
        }
        contaRighe_ += imp_.righeMargine;
    }
    void riga(std::string_view testo) {
        uscita_.scrivi(testo);
        uscita_.scrivi(kFineRiga);
    }
    void rigaTableau(std::string_view testo) {
        riga(testo);
        ++contaRighe_;
    }
    void finePagina() {
        if (riempi_) {
            while (contaRighe_ < imp_.lungPaginaFile) {
                uscita_.scrivi(kFineRiga);
                ++contaRighe_;
            }
        } else {
            uscita_.scrivi(std::string_view(&kSaltoPagina, 1));
        }
    }
    void nuovaPagina() {
        finePagina();
        contaRighe_ = 0;
        righeMargine();
    }
    long contaRighe() const { return contaRighe_; }

  private:
    const ImpostazioniStampa& imp_;
    const bool riempi_;
    UscitaGrezza& uscita_;
    long contaRighe_ = 0;
};

std::string CodiciControllo(const ImpostazioniStampa& imp, bool compressa) {
    std::string codici;
    const int primo = compressa ? 1 : 7;
    for (int i = primo; i < primo + 5; ++i) {
        const double codice = std::nearbyint(imp.C(i));
        if (!(codice >= 0 && codice <= 255)) {
            throw ErroreStampa(
                "Codice di controllo C" + std::to_string(i) +
                " fuori intervallo (0-255) nella tabella SetStampa: " + std::to_string(imp.C(i)));
        }
        codici += static_cast<char>(static_cast<unsigned char>(codice));
    }
    return codici;
}

}  // namespace

void ScriviTestoGrezzo(const std::vector<std::string>& righe, const ImpostazioniStampa& imp,
                       const OpzioniStampa& opzioni, UscitaGrezza& uscita) {
    const bool converti = opzioni.codiceAssistenza.find('K') == std::string::npos;
    const bool riempi = opzioni.codiceAssistenza.find('U') != std::string::npos;
    ImpaginatoreGrezzo pagine(imp, riempi, uscita);

    uscita.scrivi(CodiciControllo(imp, opzioni.compressa));
    pagine.righeMargine();
    for (const auto& originale : righe) {
        std::string riga = originale;
        if (converti) {
            routines::SostituisciBordi(riga);
        }
        if (riga.size() == 1 && riga.front() == kSaltoPagina) {
            pagine.nuovaPagina();
        } else {
            pagine.rigaTableau(riga);
        }
        if (pagine.contaRighe() == imp.lungPagina) {
            pagine.nuovaPagina();
        }
    }
    if (pagine.contaRighe() > 0) {
        pagine.finePagina();
    }
}

}  // namespace tableau::print
