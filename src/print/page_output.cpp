#include "print/page_output.h"

#include "print/output_conversions.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::print {
namespace {

constexpr const char* kFontTestata = "Times New Roman";
constexpr char kSaltoPagina = '\x0C';

bool FinisceConPdf(const std::string& testo) {
    constexpr std::string_view kEstensione = ".pdf";
    if (testo.size() < kEstensione.size()) {
        return false;
    }
    return routines::StessoNome(std::string_view(testo).substr(testo.size() - kEstensione.size()),
                                kEstensione);
}

// Drops the document when the job fails half-way.
class DocumentoInCorso {
  public:
    explicit DocumentoInCorso(ServizioStampanti& stampante) : stampante_(stampante) {}
    ~DocumentoInCorso() {
        if (!finito_) {
            stampante_.annullaDocumento();
        }
    }
    DocumentoInCorso(const DocumentoInCorso&) = delete;
    DocumentoInCorso& operator=(const DocumentoInCorso&) = delete;
    void fine() {
        finito_ = true;
        stampante_.fineDocumento();
    }

  private:
    ServizioStampanti& stampante_;
    bool finito_ = false;
};

class ImpaginatoreGrafico {
  public:
    ImpaginatoreGrafico(const ImpostazioniStampa& imp, const OpzioniStampa& opzioni,
                        ServizioStampanti& stampante)
        : imp_(imp), opzioni_(opzioni), stampante_(stampante) {}

    void orientamento() {
        stampante_.impostaOrientamento(opzioni_.orizzontale ? kOrientamentoOrizzontale
                                                            : kOrientamentoVerticale);
    }
    void testata() {
        stampante_.impostaNomeFont(kFontTestata);
        stampante_.impostaDimensioneFont(imp_.C(1));
        stampante_.stampaRiga(" ");
        stampante_.impostaNomeFont(imp_.fontStampa);
    }
    void dimensioneTesto() {
        stampante_.impostaDimensioneFont(opzioni_.compressa ? imp_.C(1) : imp_.C(7));
    }
    void righeMargine() {
        for (int i = 0; i < imp_.righeMargine; ++i) {
            stampante_.stampaRiga(" ");
        }
        contaRighe_ += imp_.righeMargine;
    }
    void nuovaPaginaDaSalto() {
        stampante_.nuovaPagina();
        orientamento();
        contaRighe_ = 0;
        righeMargine();
    }
    void nuovaPagina() {
        stampante_.nuovaPagina();
        orientamento();
        testata();
        dimensioneTesto();
        contaRighe_ = 0;
        righeMargine();
    }
    void contaRiga() { ++contaRighe_; }
    long contaRighe() const { return contaRighe_; }

  private:
    const ImpostazioniStampa& imp_;
    const OpzioniStampa& opzioni_;
    ServizioStampanti& stampante_;
    long contaRighe_ = 0;
};

}  // namespace

std::string ScegliStampanteUscita(const std::filesystem::path& cartellaDati,
                                  const ImpostazioniStampa& imp, ServizioStampanti& stampanti) {
    for (const auto& nome : stampanti.stampantiInstallate()) {
        if (nome == imp.uscita) {
            stampanti.scegliStampante(nome);
            return "Inviato alla stampante " + routines::InUtf8(nome) + ".";
        }
    }
    if (FinisceConPdf(imp.uscita)) {
        const auto file =
            (cartellaDati / std::filesystem::path(routines::InUtf8(imp.uscita))).lexically_normal();
        stampanti.scegliFilePdf(file);
        return "PDF salvato in " + file.string() + ".";
    }
    const std::string corrente = stampanti.nomeStampanteCorrente();
    return corrente.empty()
               ? std::string("Inviato alla stampante corrente.")
               : "Inviato alla stampante corrente, " + routines::InUtf8(corrente) + ".";
}

void StampaSuPagine(const std::vector<std::string>& righe, const ImpostazioniStampa& imp,
                    const OpzioniStampa& opzioni, ServizioStampanti& stampante) {
    const bool converti = opzioni.codiceAssistenza.find('K') == std::string::npos;
    DocumentoInCorso documento(stampante);
    ImpaginatoreGrafico pagine(imp, opzioni, stampante);

    if (opzioni.fronteRetro) {
        stampante.impostaFronteRetro(kFronteRetro);
    }
    pagine.orientamento();
    pagine.testata();
    pagine.righeMargine();
    pagine.dimensioneTesto();
    for (const auto& originale : righe) {
        const std::string riga = converti ? Converti2(originale) : originale;
        const bool saltoPagina = riga.size() == 1 && riga.front() == kSaltoPagina;
        if (saltoPagina) {
            pagine.nuovaPaginaDaSalto();
        } else {
            StampaLaser(riga, stampante);
        }
        pagine.contaRiga();
        if (pagine.contaRighe() >= imp.lungPagina || saltoPagina) {
            pagine.nuovaPagina();
        }
    }
    documento.fine();
    if (opzioni.orizzontale) {
        stampante.impostaOrientamento(kOrientamentoVerticale);
    }
}

}  // namespace tableau::print
