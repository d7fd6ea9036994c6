// The print path's conversions of a chart line: Converti2, SostituisciBordi and
// FiltraCaratteri, and StampaLaser's bold switch on a printer that keeps what it is sent.
// None of them fails on any text; Converti2 keeps the length; StampaLaser prints every
// character but the switch and leaves the size as it found it after an even number of
// switches.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "print/output_conversions.h"
#include "print/printer.h"
#include "routines/text.h"

namespace {

void Verifica(bool condizione) {
    if (!condizione) {
        std::abort();
    }
}

// A printer that only keeps the text and the font size it is given.
class StampanteMemoria : public tableau::print::ServizioStampanti {
  public:
    std::vector<std::string> stampantiInstallate() const override { return {"Memoria"}; }
    std::string nomeStampanteCorrente() const override { return "Memoria"; }
    void scegliStampante(const std::string&) override {}
    void scegliFilePdf(const std::filesystem::path&) override {}
    void impostaFronteRetro(int) override {}
    void impostaOrientamento(int) override {}
    void impostaNomeFont(const std::string&) override {}
    void impostaDimensioneFont(double punti) override { dimensione = punti; }
    double dimensioneFont() const override { return dimensione; }
    void impostaGrassetto(bool) override {}
    void stampaTesto(std::string_view testo) override { stampato += testo; }
    void stampaRiga(std::string_view testo) override {
        stampato += testo;
        ++righe;
    }
    void nuovaPagina() override {}
    void fineDocumento() override {}
    void annullaDocumento() noexcept override {}

    double dimensione = 10.0;
    std::string stampato;
    int righe = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau;
    const std::string_view riga(reinterpret_cast<const char*>(dati), dimensione);
    Verifica(print::Converti2(riga).size() == riga.size());
    std::string bordi(riga);
    Verifica(routines::SostituisciBordi(bordi).size() == riga.size());
    for (int modo = 0; modo <= 2; ++modo) {
        Verifica(!routines::FiltraCaratteri(riga, modo).empty());
    }

    StampanteMemoria stampante;
    print::StampaLaser(riga, stampante);
    std::string attesa;
    std::size_t interruttori = 0;
    for (const char c : riga) {
        if (c == '\xE7') {
            ++interruttori;
        } else {
            attesa += c;
        }
    }
    Verifica(stampante.stampato == attesa);
    Verifica(stampante.righe == 1);
    if (interruttori % 2 == 0) {
        Verifica(std::fabs(stampante.dimensione - 10.0) < 1e-6);
    }
    return 0;
}
