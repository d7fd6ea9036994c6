#pragma once
// The page printer over Qt PrintSupport: installed printers from QPrinterInfo (CUPS on
// Linux), documents drawn with QPainter on a QPrinter, or on a PDF file through Qt's PDF
// output. Needs a QGuiApplication. Keep one object for the whole run: the current printer
// and its settings persist between jobs.
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <memory>
#include <optional>

#include "print/printer.h"

namespace tableau::print {

class ServizioStampantiQt final : public ServizioStampanti {
  public:
    ServizioStampantiQt();
    ~ServizioStampantiQt() override;
    ServizioStampantiQt(const ServizioStampantiQt&) = delete;
    ServizioStampantiQt& operator=(const ServizioStampantiQt&) = delete;

    std::vector<std::string> stampantiInstallate() const override;
    std::string nomeStampanteCorrente() const override;
    void scegliStampante(const std::string& nome) override;
    void scegliFilePdf(const std::filesystem::path& file) override;
    void impostaFronteRetro(int modo) override;
    void impostaOrientamento(int orientamento) override;
    void impostaNomeFont(const std::string& nome) override;
    void impostaDimensioneFont(double punti) override;
    double dimensioneFont() const override;
    void impostaGrassetto(bool grassetto) override;
    void stampaTesto(std::string_view testo) override;
    void stampaRiga(std::string_view testo) override;
    void nuovaPagina() override;
    void fineDocumento() override;
    void annullaDocumento() noexcept override;

    // The title of the documents sent to the printer (the job name in the queue).
    void impostaNomeDocumento(const std::string& nome);

    // The current printer (not the PDF file of a document).
    const QPrinter& stampanteCorrente() const { return *corrente_; }

  private:
    QPrinter& attiva();
    void preparaPagina(double altezzaRiga);
    void fineDocumentoPdf();

    std::unique_ptr<QPrinter> corrente_;  // the current printer, persisting between jobs
    std::unique_ptr<QPrinter> pdf_;       // the PDF file of the next document, if chosen
    QFont font_;
    std::unique_ptr<QPainter> painter_;  // open while a document is being printed
    int pagineInSospeso_ = 0;            // new pages asked for and not yet started
    double x_ = 0;                       // current position on the page, device pixels
    double y_ = 0;
    QString nomeDocumento_ = QStringLiteral("Tableau");
};

}  // namespace tableau::print
