// The headless print job: tableau print, and the list of the installed printers.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

#include "app/cli_commands.h"
#include "app/qt_application.h"
#include "app/startup.h"
#include "db/errors.h"
#include "print/cups_queue.h"
#include "print/print_job.h"
#include "print/qt/qt_printer_service.h"
#include "routines/codepage.h"
#include "routines/system_log.h"
#include "routines/text.h"

namespace tableau::app {
namespace {

// The Qt page printer, with the QGuiApplication it needs created at its first use only, so
// that raw output and the spreadsheet run without any display or platform plugin.
class StampantiSuRichiesta final : public print::ServizioStampanti {
  public:
    ~StampantiSuRichiesta() override { servizio_.reset(); }

    std::vector<std::string> stampantiInstallate() const override {
        return servizio().stampantiInstallate();
    }
    std::string nomeStampanteCorrente() const override {
        return servizio().nomeStampanteCorrente();
    }
    void scegliStampante(const std::string& nome) override { servizio().scegliStampante(nome); }
    void scegliFilePdf(const std::filesystem::path& file) override {
        servizio().scegliFilePdf(file);
    }
    void impostaFronteRetro(int modo) override { servizio().impostaFronteRetro(modo); }
    void impostaOrientamento(int o) override { servizio().impostaOrientamento(o); }
    void impostaNomeFont(const std::string& nome) override { servizio().impostaNomeFont(nome); }
    void impostaDimensioneFont(double punti) override { servizio().impostaDimensioneFont(punti); }
    double dimensioneFont() const override { return servizio().dimensioneFont(); }
    void impostaGrassetto(bool g) override { servizio().impostaGrassetto(g); }
    void stampaTesto(std::string_view testo) override { servizio().stampaTesto(testo); }
    void stampaRiga(std::string_view testo) override { servizio().stampaRiga(testo); }
    void nuovaPagina() override { servizio().nuovaPagina(); }
    void fineDocumento() override { servizio().fineDocumento(); }
    void annullaDocumento() noexcept override {
        if (servizio_) {
            servizio_->annullaDocumento();
        }
    }

  private:
    print::ServizioStampantiQt& servizio() const {
        if (!servizio_) {
            app_.prepara();
            servizio_ = std::make_unique<print::ServizioStampantiQt>();
        }
        return *servizio_;
    }

    mutable ApplicazioneQt app_;  // outlives the service
    mutable std::unique_ptr<print::ServizioStampantiQt> servizio_;
};

int ElencaStampanti(std::ostream& out, std::ostream& err) {
    StampantiSuRichiesta stampanti;
    const auto nomi = print::StampantiInstallate(stampanti);
    if (nomi.empty()) {
        err << "Nessuna stampante installata.\n";
    }
    for (const auto& nome : nomi) {
        out << routines::InUtf8(nome) << '\n';
    }
    return kEseguito;
}

// A printer given as "....pdf" is a PDF file in the data directory, as in the print menu.
bool FileSuPdf(const std::string& nome) {
    return nome.size() > 4 &&
           routines::StessoNome(std::string_view(nome).substr(nome.size() - 4), ".pdf");
}

}  // namespace

int ComandoPrint(const OpzioniStampa& lette, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni) {
    if (lette.elenco) {
        return ElencaStampanti(out, err);
    }
    print::OpzioniStampa opzioni;
    opzioni.destinazione = routines::InCp1252(lette.destinazione.value_or(""));
    opzioni.stampante = routines::InCp1252(lette.stampante.value_or(""));
    if (lette.hotel) {
        opzioni.hotelCorrente = *lette.hotel;
    }
    if (lette.normale) {
        opzioni.compressa = false;
    }
    opzioni.orizzontale = lette.orizzontale;
    opzioni.fronteRetro = lette.fronteRetro;
    // A printer named on the command line must be a queue of the system (or a PDF file):
    // a mistyped name would otherwise send the chart to whatever printer is current.
    if (!routines::TogliSpazi(opzioni.stampante).empty() && !FileSuPdf(opzioni.stampante)) {
        const auto code = print::CodeDiStampa();
        if (std::find(code.begin(), code.end(), opzioni.stampante) == code.end()) {
            std::string installate;
            for (const auto& coda : code) {
                installate += (installate.empty() ? "" : ", ") + routines::InUtf8(coda);
            }
            err << "tableau print: la stampante \"" << routines::InUtf8(opzioni.stampante)
                << "\" non \xC3\xA8 una coda di stampa del sistema. "
                << (installate.empty() ? std::string("Nessuna coda installata.")
                                       : "Code installate: " + installate + ".")
                << '\n';
            routines::RegistraErrore("stampa rifiutata: la stampante \"" +
                                     routines::InUtf8(opzioni.stampante) +
                                     "\" non \xC3\xA8 una coda di stampa del sistema");
            return kRifiutato;
        }
    }
    try {
        // The assistance code is the hotels' table's, from the server when one is set; the
        // print settings are the workstation's own files.
        opzioni.codiceAssistenza = print::LeggiCodiceAssistenza(*ApriSorgenteDati(impostazioni));
        StampantiSuRichiesta stampanti;
        const std::string dove =
            print::EseguiStampa(PostazioneImpostata(impostazioni), opzioni, stampanti);
        routines::RegistraEvento("stampa su " + routines::InUtf8(opzioni.destinazione) + ": " +
                                 dove);
        out << dove << '\n';
        return kEseguito;
    } catch (const std::exception& e) {
        err << "tableau print: " << SuUnaRiga(e.what()) << '\n';
        routines::RegistraErrore("stampa su " + routines::InUtf8(opzioni.destinazione) +
                                 " non riuscita: " + e.what());
        return kFallito;
    }
}

}  // namespace tableau::app
