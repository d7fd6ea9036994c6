#include "gui/menu_stampa.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>

#include "chart/chart_file.h"
#include "export/qt/format_table.h"
#include "gui/anteprima.h"
#include "gui/busy_cursor.h"
#include "gui/error_message.h"
#include "gui/keyboard.h"
#include "gui/list_tooltips.h"
#include "gui/msgbox_routine.h"
#include "gui/open_file.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "print/document_copy.h"
#include "routines/system_log.h"

namespace tableau::gui {
namespace {

const QColor kSfondo = kSfondoMenuStampa;
constexpr int kAltezzaStato = 360;

struct DefinizioneTasto {
    int left;
    const char* icona;
    const char* nomeNelTema;
    const char* suggerimento;
};
constexpr DefinizioneTasto kTastoDocumento{2190, "documento", nullptr,
                                           "Apri la copia del documento"};
constexpr DefinizioneTasto kTastoFoglio{3150, "foglio", nullptr, "Apri il foglio di calcolo"};
constexpr DefinizioneTasto kTastoPdf{4110, "pdf", nullptr, "Stampa su PDF"};
constexpr DefinizioneTasto kTastoStampa{150, "stampa", "document-print", "Stampa"};
constexpr DefinizioneTasto kTastoAnteprima{1110, "anteprima", "document-print-preview",
                                           "Anteprima di stampa"};
constexpr DefinizioneTasto kTastoChiudi{5190, "chiudi", "window-close", "Chiudi"};
// After the six: the laid-out chart and the workbook, in a strip that widens the window.
constexpr DefinizioneTasto kTastoGrafico{6150, "grafico", nullptr, "Tableau grafico"};
constexpr DefinizioneTasto kTastoExcel{7110, "excel", nullptr, "Foglio Excel"};
constexpr int kLarghezzaMenu = 6165 + 1920;

QAbstractButton* TastoConFigura(QWidget* padre, const DefinizioneTasto& definizione) {
    auto* tasto = new QToolButton(padre);
    tasto->setIcon(Icona(definizione.icona, definizione.nomeNelTema));
    tasto->setIconSize(QSize(PixelX(600), PixelY(600)));
    tasto->setToolTip(QString::fromLatin1(definizione.suggerimento));
    tasto->setAccessibleName(QString::fromLatin1(definizione.suggerimento));
    tasto->setFocusPolicy(Qt::StrongFocus);
    tasto->setGeometry(RettangoloTwips(definizione.left, 1800, 855, 855));
    return tasto;
}

QLabel* Etichetta(QWidget* padre, const char* testo, QRect posto) {
    auto* label = new QLabel(QString::fromLatin1(testo), padre);
    label->setFont(Carattere("Corbel", 9.75));
    Colora(label, kSfondo, kTestoMenuStampa);
    label->setGeometry(posto);
    return label;
}

QCheckBox* Casella(QWidget* padre, const char* testo, QRect posto, bool spuntata) {
    auto* casella = new QCheckBox(QString::fromLatin1(testo), padre);
    casella->setFont(Carattere("Corbel", 9.75));
    Colora(casella, kSfondo, kTestoMenuStampa);
    casella->setGeometry(posto);
    casella->setChecked(spuntata);
    return casella;
}

QComboBox* Elenco(QWidget* padre, int top) {
    auto* combo = new QComboBox(padre);
    combo->setEditable(false);
    combo->setFont(Carattere("Arial", 8.25, true));
    ColoraElenco(combo);
    MostraVociIntere(combo);
    combo->setGeometry(RettangoloTwips(1350, top, 4695, 315));
    return combo;
}

ServiziMenu ConServiziPredefiniti(ServiziMenu servizi, const StatoProgramma& stato,
                                  print::ServizioStampanti& stampanti) {
    if (!servizi.apri) {
        servizi.apri = [](const std::filesystem::path& file) { return ApriConProgramma(file); };
    }
    if (!servizi.mostraAnteprima) {
        servizi.mostraAnteprima = [postazione = stato.postazione()] {
            Anteprima anteprima(postazione);
            anteprima.mostra();
        };
    }
    if (!servizi.stampa) {
        servizi.stampa = [postazione = stato.postazione(),
                          &stampanti](const print::OpzioniStampa& o) {
            return print::EseguiStampa(postazione, o, stampanti);
        };
    }
    return servizi;
}

}  // namespace

MenuStampa::MenuStampa(StatoProgramma& stato, print::ServizioStampanti& stampanti,
                       ServiziMenu servizi, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      stato_(stato),
      stampanti_(stampanti),
      servizi_(ConServiziPredefiniti(std::move(servizi), stato, stampanti)) {
    if (!servizi_.avviso) {
        // Over the menu, which stays on top of other windows.
        servizi_.avviso = [this](const QString& testo, const QString& titolo) {
            QMessageBox::warning(this, titolo, testo);
        };
    }
    setModal(true);
    setWindowTitle(QStringLiteral("Stampe non modificabili"));
    setWindowIcon(Icona("stampa"));
    Colora(this, kSfondo);
    // The defined 6165 x 2760, and a status line under the buttons.
    setFixedSize(DimensioneTwips(kLarghezzaMenu, 2760 + kAltezzaStato));

    Etichetta(this, "SELEZIONE", RettangoloTwips(120, 120, 5895, 255))
        ->setAlignment(Qt::AlignCenter);
    QLabel* virtuale = Etichetta(this, "Virtuale ", RettangoloTwips(150, 480, 1215, 255));
    elencoDestinazioni_ = Elenco(this, 480);
    virtuale->setBuddy(elencoDestinazioni_);
    opzioneCompressa_ =
        Casella(this, "Stampa Compressa", RettangoloTwips(120, 960, 1935, 255), true);
    opzioneOrizzontale_ =
        Casella(this, "Stampa orizzontale", RettangoloTwips(2070, 960, 1980, 264), false);
    opzioneFronteRetro_ =
        Casella(this, "Stampa fronte / retro", RettangoloTwips(4110, 960, 2220, 264), false);
    QLabel* stampante = Etichetta(this, "Stampante ", RettangoloTwips(150, 1320, 1215, 255));
    elencoStampanti_ = Elenco(this, 1320);
    stampante->setBuddy(elencoStampanti_);

    tastoDocumento_ = TastoConFigura(this, kTastoDocumento);
    tastoFoglio_ = TastoConFigura(this, kTastoFoglio);
    tastoPdf_ = TastoConFigura(this, kTastoPdf);
    tastoStampa_ = TastoConFigura(this, kTastoStampa);
    tastoAnteprima_ = TastoConFigura(this, kTastoAnteprima);
    tastoChiudi_ = TastoConFigura(this, kTastoChiudi);
    tastoGrafico_ = TastoConFigura(this, kTastoGrafico);
    tastoExcel_ = TastoConFigura(this, kTastoExcel);
    connect(tastoGrafico_, &QAbstractButton::clicked, this, [this] { tastoGrafico_Click(); });
    connect(tastoExcel_, &QAbstractButton::clicked, this, [this] { tastoExcel_Click(); });
    connect(tastoDocumento_, &QAbstractButton::clicked, this, [this] { tastoDocumento_Click(); });
    connect(tastoFoglio_, &QAbstractButton::clicked, this, [this] { tastoFoglio_Click(); });
    connect(tastoPdf_, &QAbstractButton::clicked, this, [this] { tastoPdf_Click(); });
    connect(tastoStampa_, &QAbstractButton::clicked, this, [this] { tastoStampa_Click(); });
    connect(tastoAnteprima_, &QAbstractButton::clicked, this, [this] { tastoAnteprima_Click(); });
    connect(tastoChiudi_, &QAbstractButton::clicked, this, [this] { tastoChiudi_Click(); });

    // Tab order: printers, document copy, the options right to left, destinations, then the
    // spreadsheet copy, PDF, print, preview and close.
    const std::array<QWidget*, 13> ordine{
        elencoStampanti_,  tastoDocumento_,     opzioneFronteRetro_, opzioneOrizzontale_,
        opzioneCompressa_, elencoDestinazioni_, tastoFoglio_,        tastoPdf_,
        tastoStampa_,      tastoAnteprima_,     tastoChiudi_,        tastoGrafico_,
        tastoExcel_};
    for (std::size_t i = 1; i < ordine.size(); ++i) {
        setTabOrder(ordine[i - 1], ordine[i]);
    }
    rigaStato_ = new QLabel(this);
    rigaStato_->setFont(Carattere("Corbel", 9.75));
    Colora(rigaStato_, Qt::white, Qt::black);
    rigaStato_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rigaStato_->setGeometry(RettangoloTwips(0, 2760, kLarghezzaMenu, kAltezzaStato));
    rigaStato_->setIndent(PixelX(120));

    RegoleTastiera(this);
}

MenuStampa::~MenuStampa() = default;

void MenuStampa::mostra() {
    Form_Load();
    Form_Activate();
    if (!scaricata_) {
        exec();
    }
}

void MenuStampa::Form_Load() {
    if (const QScreen* schermo = QGuiApplication::primaryScreen()) {
        const QRect area = schermo->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
        PortaNelloSchermo(this);
    }
    if (stato_.hotelCorrente == 0) {
        stato_.hotelCorrente = 1;
    }
    try {
        percorsoDoc_ = print::CopiaDocumento(stato_.postazione(), *stato_.orologio);
    } catch (const std::exception&) {
        // The copy is a convenience: the menu works without it.
        percorsoDoc_ = print::NomeCopiaDocumento(stato_.postazione(), stato_.orologio->adesso());
    }
    elencoStampanti_->clear();
    try {
        for (const std::string& nome : print::StampantiInstallate(stampanti_)) {
            elencoStampanti_->addItem(TestoQt(nome));
        }
    } catch (const std::exception&) {
        elencoStampanti_->clear();
    }
    if (elencoStampanti_->count() == 0) {
        elencoStampanti_->addItem(TestoQt(print::kNessunaStampante));
    }
    elencoStampanti_->setCurrentIndex(-1);
}

void MenuStampa::Form_Activate() {
    if (scaricata_) {
        return;
    }
    try {
        elencoDestinazioni_->clear();
        // The assistance code is the hotels' table's, from the server when one is set.
        if (std::string codice = print::LeggiCodiceAssistenza(*ApriSorgente(stato_));
            !codice.empty()) {
            codiceAssistenza_ = std::move(codice);
        }
        for (const std::string& destinazione : print::ElencoDestinazioni(stato_.cartellaDati)) {
            elencoDestinazioni_->addItem(TestoQt(destinazione));
        }
    } catch (const std::exception& errore) {
        // Without its configuration the menu cannot work: back to the request window.
        MostraErrore(errore);
        scarica();
        return;
    }
    if (elencoDestinazioni_->count() == 0) {
        // Nothing to print on: say what to configure before going back to the request window.
        MostraMessaggio(TestoQt("Nessuna destinazione di stampa configurata: il tableau \xE8 "
                                "nel file " +
                                chart::NomeFileTableau(stato_.postazione()) +
                                ".\r\nAggiungere le destinazioni dell'albergo 1 nella "
                                "tabella Stampanti di Stampanti.mdb."),
                        TipoMessaggio::okAvviso, QStringLiteral("Stampa"));
        scarica();
        return;
    }
    elencoDestinazioni_->setCurrentIndex(0);
}

print::OpzioniStampa MenuStampa::opzioni() const {
    print::OpzioniStampa opzioni;
    opzioni.destinazione = Testo1252(elencoDestinazioni_->currentText());
    if (elencoStampanti_->currentIndex() >= 0 &&
        elencoStampanti_->currentText() != TestoQt(print::kNessunaStampante)) {
        opzioni.stampante = Testo1252(elencoStampanti_->currentText());
    }
    opzioni.compressa = opzioneCompressa_->isChecked();
    opzioni.orizzontale = opzioneOrizzontale_->isChecked();
    opzioni.fronteRetro = opzioneFronteRetro_->isChecked();
    opzioni.hotelCorrente = stato_.hotelCorrente;
    opzioni.codiceAssistenza = codiceAssistenza_;
    return opzioni;
}

void MenuStampa::tastoStampa_Click() {
    rigaStato_->clear();
    EseguiMostrandoErrori([this] {
        std::string esito;
        {
            const Occupato occupato(this);
            esito = servizi_.stampa(opzioni());
        }
        stato(QString::fromStdString(esito));
    });
}

void MenuStampa::tastoAnteprima_Click() {
    EseguiMostrandoErrori([this] {
        servizi_.mostraAnteprima();
        // The preview has closed: the menu is active again.
        Form_Activate();
    });
}

void MenuStampa::tastoDocumento_Click() {
    rigaStato_->clear();
    EseguiMostrandoErrori([this] {
        apriEDiQuale(stato_.cartellaDati / percorsoDoc_, QStringLiteral("Copia del documento"));
    });
}

void MenuStampa::tastoFoglio_Click() {
    esportaEApri("csv");
}

void MenuStampa::stato(const QString& testo) {
    rigaStato_->setText(testo);
    routines::RegistraEvento(testo.toStdString());
}

void MenuStampa::tastoGrafico_Click() {
    esportaEApri("pdf");
}

void MenuStampa::tastoExcel_Click() {
    esportaEApri("xlsx");
}

void MenuStampa::esportaEApri(std::string_view nomeFormato) {
    rigaStato_->clear();
    EseguiMostrandoErrori([this, nomeFormato] {
        const exports::FormatoUscita& formato = *exports::FormatoDiNome(nomeFormato);
        std::filesystem::path file;
        {
            const Occupato occupato(this);
            file = exports::Esporta(formato, stato_.postazione());
        }
        apriEDiQuale(file, QString::fromUtf8(formato.titolo.data(),
                                             static_cast<qsizetype>(formato.titolo.size())));
    });
}

void MenuStampa::apriEDiQuale(const std::filesystem::path& file, const QString& cosa) {
    const QString percorso = QString::fromStdString(file.lexically_normal().string());
    bool aperto = false;
    {
        const Occupato occupato(this);
        aperto = servizi_.apri(file);
    }
    if (aperto) {
        stato(cosa + QStringLiteral(" aperto con il programma associato: ") + percorso);
    } else {
        stato(QStringLiteral("Nessun programma associato ai file ") +
              QString::fromStdString(file.extension().string()) +
              QStringLiteral(": il file \u00E8 in ") + percorso);
    }
}

void MenuStampa::tastoPdf_Click() {
    rigaStato_->clear();
    EseguiMostrandoErrori([this] {
        int scelta = -1;
        for (int i = 0; i < elencoDestinazioni_->count(); ++i) {
            if (elencoDestinazioni_->itemText(i).contains(QStringLiteral("PDF"))) {
                scelta = i;
            }
        }
        if (scelta >= 0) {
            elencoDestinazioni_->setCurrentIndex(scelta);
            tastoStampa_Click();
        } else {
            servizi_.avviso(QStringLiteral("Nessuna stampante PDF impostata!"),
                            QStringLiteral("Stampa"));
        }
    });
}

void MenuStampa::tastoChiudi_Click() {
    scarica();
}

void MenuStampa::scarica() {
    scaricata_ = true;
    done(QDialog::Accepted);
}

void MenuStampa::closeEvent(QCloseEvent* event) {
    scaricata_ = true;
    QDialog::closeEvent(event);
}

}  // namespace tableau::gui
