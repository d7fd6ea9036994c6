#include "print/qt/qt_printer_service.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinterInfo>
#include <system_error>

#include "print/errors.h"
#include "routines/codepage.h"

namespace tableau::print {
namespace {

QString Testo(std::string_view cp1252) {
    return QString::fromUtf8(routines::InUtf8(cp1252));
}

std::string Cp1252(const QString& testo) {
    return routines::InCp1252(testo.toUtf8().toStdString());
}

std::string Utf8(const QString& testo) {
    return testo.toUtf8().toStdString();
}

}  // namespace

ServizioStampantiQt::ServizioStampantiQt()
    : corrente_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      font_(QStringLiteral("Courier New")) {}

ServizioStampantiQt::~ServizioStampantiQt() {
    annullaDocumento();
}

std::string ServizioStampantiQt::nomeStampanteCorrente() const {
    return routines::InCp1252(corrente_->printerName().toStdString());
}

std::vector<std::string> ServizioStampantiQt::stampantiInstallate() const {
    std::vector<std::string> nomi;
    for (const QString& nome : QPrinterInfo::availablePrinterNames()) {
        nomi.push_back(Cp1252(nome));
    }
    return nomi;
}

void ServizioStampantiQt::scegliStampante(const std::string& nome) {
    const QString richiesta = Testo(nome);
    corrente_->setOutputFormat(QPrinter::NativeFormat);
    corrente_->setPrinterName(richiesta);
    // A name Qt does not know turns the printer into a PDF printer without a word.
    if (corrente_->outputFormat() != QPrinter::NativeFormat ||
        corrente_->printerName() != richiesta) {
        throw ErroreStampa("La stampante \"" + Utf8(richiesta) + "\" non \xC3\xA8 disponibile");
    }
}

void ServizioStampantiQt::scegliFilePdf(const std::filesystem::path& file) {
    pdf_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pdf_->setOutputFormat(QPrinter::PdfFormat);
    pdf_->setOutputFileName(QString::fromStdString(file.string()));
    pdf_->setPageOrientation(corrente_->pageLayout().orientation());
    pdf_->setPageSize(corrente_->pageLayout().pageSize());
}

QPrinter& ServizioStampantiQt::attiva() {
    return pdf_ ? *pdf_ : *corrente_;
}

void ServizioStampantiQt::impostaNomeDocumento(const std::string& nome) {
    nomeDocumento_ = Testo(nome);
}

void ServizioStampantiQt::impostaFronteRetro(int modo) {
    attiva().setDuplex(modo == kFronteRetro ? QPrinter::DuplexLongSide : QPrinter::DuplexNone);
}

void ServizioStampantiQt::impostaOrientamento(int orientamento) {
    // While a document is open the new orientation takes effect with the next page, which
    // is started only when something is printed on it.
    attiva().setPageOrientation(orientamento == kOrientamentoOrizzontale ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
}

void ServizioStampantiQt::impostaNomeFont(const std::string& nome) {
    font_.setFamily(Testo(nome));
}

void ServizioStampantiQt::impostaDimensioneFont(double punti) {
    if (punti > 0) {
        font_.setPointSizeF(punti);
    }
}

double ServizioStampantiQt::dimensioneFont() const {
    return font_.pointSizeF();
}

void ServizioStampantiQt::impostaGrassetto(bool grassetto) {
    font_.setBold(grassetto);
}

void ServizioStampantiQt::preparaPagina(double altezzaRiga) {
    QPrinter& stampante = attiva();
    if (!painter_) {
        if (stampante.outputFormat() == QPrinter::PdfFormat &&
            stampante.outputFileName().isEmpty()) {
            // No printer chosen and none installed: Qt falls back to a PDF with no file.
            throw ErroreStampa(
                "Nessuna stampante disponibile: installarne una o usare una destinazione su "
                "file PDF");
        }
        stampante.setDocName(nomeDocumento_);
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&stampante)) {
            painter_.reset();
            pagineInSospeso_ = 0;
            const std::string dove =
                stampante.outputFormat() == QPrinter::PdfFormat
                    ? "sul file PDF " + Utf8(stampante.outputFileName())
                    : "sulla stampante \"" + Utf8(stampante.printerName()) + "\"";
            throw ErroreStampa("Impossibile avviare la stampa " + dove);
        }
        x_ = 0;
        y_ = 0;
        pagineInSospeso_ = 0;
    }
    // A line that would cross the bottom of the page goes to a new one.
    const double altezzaPagina =
        stampante.pageLayout().paintRectPixels(stampante.resolution()).height();
    if (pagineInSospeso_ == 0 && x_ == 0 && y_ > 0 && y_ + altezzaRiga > altezzaPagina) {
        pagineInSospeso_ = 1;
    }
    for (; pagineInSospeso_ > 0; --pagineInSospeso_) {
        if (!stampante.newPage()) {
            throw ErroreStampa("Errore della stampante all'inizio di una nuova pagina");
        }
        x_ = 0;
        y_ = 0;
    }
}

void ServizioStampantiQt::stampaTesto(std::string_view testo) {
    const QFontMetricsF metriche(font_, &attiva());
    preparaPagina(metriche.height());
    const QString riga = Testo(testo);
    painter_->setFont(font_);
    painter_->drawText(QPointF(x_, y_ + metriche.ascent()), riga);
    x_ += metriche.horizontalAdvance(riga);
}

void ServizioStampantiQt::stampaRiga(std::string_view testo) {
    stampaTesto(testo);
    y_ += QFontMetricsF(font_, &attiva()).height();
    x_ = 0;
}

void ServizioStampantiQt::nuovaPagina() {
    if (painter_) {
        ++pagineInSospeso_;
    }
}

void ServizioStampantiQt::fineDocumento() {
    pagineInSospeso_ = 0;  // a page asked for and left empty is not printed
    if (painter_) {
        const bool riuscito = painter_->end();
        painter_.reset();
        if (!riuscito) {
            const bool pdf = attiva().outputFormat() == QPrinter::PdfFormat;
            const std::string dove =
                pdf ? "del file PDF " + Utf8(attiva().outputFileName())
                    : "della stampante \"" + Utf8(attiva().printerName()) + "\"";
            pdf_.reset();
            throw ErroreStampa("Errore nella chiusura della stampa " + dove);
        }
    }
    pdf_.reset();
}

void ServizioStampantiQt::annullaDocumento() noexcept {
    pagineInSospeso_ = 0;
    if (painter_) {
        attiva().abort();
        painter_->end();
        painter_.reset();
        if (pdf_) {
            std::error_code ignorato;
            std::filesystem::remove(pdf_->outputFileName().toStdString(), ignorato);
        }
    }
    pdf_.reset();
}

}  // namespace tableau::print
