#include "gui/menu_stampa.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>
#include <QUrl>

#include "gui/anteprima.h"
#include "gui/error_message.h"
#include "gui/qt_text.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "preview/spreadsheet_export.h"
#include "print/document_copy.h"

namespace tableau::gui {
namespace {

const QColor kSfondo(128, 128, 255);
const QColor kSfondoElenchi(255, 224, 192);

struct DefinizioneTst {
    int left;
    const char* icona;
    const char* nomeNelTema;
    const char* suggerimento;
};
// By index: document copy, spreadsheet, PDF, print, preview, close.
constexpr std::array<DefinizioneTst, 6> kTst{{
    {2190, "documento", nullptr, "Apri la copia del documento"},
    {3150, "foglio", nullptr, "Apri il foglio di calcolo"},
    {4110, "pdf", nullptr, "Stampa su PDF"},
    {150, "stampa", "document-print", "Stampa"},
    {1110, "anteprima", "document-print-preview", "Anteprima di stampa"},
    {5190, "chiudi", "window-close", "Chiudi"},
}};

QLabel* Etichetta(QWidget* padre, const char* testo, QRect posto) {
    auto* label = new QLabel(QString::fromLatin1(testo), padre);
    label->setFont(Carattere("Corbel", 9.75));
    Colora(label, kSfondo, Qt::white);
    label->setGeometry(posto);
    return label;
}

QCheckBox* Casella(QWidget* padre, const char* testo, QRect posto, bool spuntata) {
    auto* casella = new QCheckBox(QString::fromLatin1(testo), padre);
    casella->setFont(Carattere("Corbel", 9.75));
    Colora(casella, kSfondo, Qt::white);
    casella->setGeometry(posto);
    casella->setChecked(spuntata);
    return casella;
}

QComboBox* Elenco(QWidget* padre, int top) {
    auto* combo = new QComboBox(padre);
    combo->setEditable(false);
    combo->setFont(Carattere("Arial", 8.25, true));
    combo->setStyleSheet(QStringLiteral("QComboBox { background-color: rgb(255, 224, 192); }"));
    combo->setGeometry(RettangoloTwips(1350, top, 4695, 315));
    return combo;
}

ServiziMenu ConServiziPredefiniti(ServiziMenu servizi, const StatoProgramma& stato,
                                  print::ServizioStampanti& stampanti) {
    if (!servizi.apri) {
        servizi.apri = [](const std::filesystem::path& file) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        };
    }
    if (!servizi.mostraAnteprima) {
        servizi.mostraAnteprima = [cartellaDati = stato.cartellaDati] {
            Anteprima anteprima(cartellaDati);
            anteprima.Mostra();
        };
    }
    if (!servizi.stampa) {
        servizi.stampa = [cartellaDati = stato.cartellaDati,
                          &stampanti](const print::OpzioniStampa& o) {
            print::EseguiStampa(cartellaDati, o, stampanti);
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
    setFixedSize(DimensioneTwips(6165, 2760));

    Etichetta(this, "SELEZIONE", RettangoloTwips(120, 120, 5895, 255))
        ->setAlignment(Qt::AlignCenter);
    QLabel* virtuale = Etichetta(this, "Virtuale ", RettangoloTwips(150, 480, 1215, 255));
    combo1_ = Elenco(this, 480);
    virtuale->setBuddy(combo1_);
    chk_ = Casella(this, "Stampa Compressa", RettangoloTwips(120, 960, 1935, 255), true);
    chk2_ = Casella(this, "Stampa orizzontale", RettangoloTwips(2070, 960, 1980, 264), false);
    chk3_ = Casella(this, "Stampa fronte / retro", RettangoloTwips(4110, 960, 2220, 264), false);
    QLabel* stampante = Etichetta(this, "Stampante ", RettangoloTwips(150, 1320, 1215, 255));
    combo2_ = Elenco(this, 1320);
    stampante->setBuddy(combo2_);

    for (std::size_t i = 0; i < tst_.size(); ++i) {
        auto* tasto = new QToolButton(this);
        tasto->setIcon(Icona(kTst[i].icona, kTst[i].nomeNelTema));
        tasto->setIconSize(QSize(PixelX(600), PixelY(600)));
        tasto->setToolTip(QString::fromLatin1(kTst[i].suggerimento));
        tasto->setAccessibleName(QString::fromLatin1(kTst[i].suggerimento));
        tasto->setFocusPolicy(Qt::StrongFocus);
        tasto->setGeometry(RettangoloTwips(kTst[i].left, 1800, 855, 855));
        const int index = static_cast<int>(i);
        connect(tasto, &QAbstractButton::clicked, this, [this, index] { Tst_Click(index); });
        tst_[i] = tasto;
    }

    // Tab order: printers, document copy, the options right to left, destinations, then the
    // other buttons by index.
    const std::array<QWidget*, 11> ordine{combo2_, tst_[0], chk3_,   chk2_,   chk_,   combo1_,
                                          tst_[1], tst_[2], tst_[3], tst_[4], tst_[5]};
    for (std::size_t i = 1; i < ordine.size(); ++i) {
        setTabOrder(ordine[i - 1], ordine[i]);
    }
}

MenuStampa::~MenuStampa() = default;

void MenuStampa::Mostra() {
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
    }
    if (stato_.HotelCorrente == 0) {
        stato_.HotelCorrente = 1;
    }
    try {
        percorsoDoc_ = print::CopiaDocumento(stato_.cartellaDati, *stato_.orologio);
    } catch (const std::exception&) {
        // The copy is a convenience: the menu works without it.
        percorsoDoc_ = print::NomeCopiaDocumento(stato_.orologio->adesso());
    }
    combo2_->clear();
    try {
        for (const std::string& nome : print::StampantiInstallate(stampanti_)) {
            combo2_->addItem(TestoQt(nome));
        }
    } catch (const std::exception&) {
        combo2_->clear();
    }
    if (combo2_->count() == 0) {
        combo2_->addItem(TestoQt(print::kNessunaStampante));
    }
    combo2_->setCurrentIndex(-1);
}

void MenuStampa::Form_Activate() {
    if (scaricata_) {
        return;
    }
    try {
        combo1_->clear();
        if (std::string codice = print::LeggiCodiceAssistenza(stato_.cartellaDati);
            !codice.empty()) {
            codiceAssistenza_ = std::move(codice);
        }
        for (const std::string& destinazione : print::ElencoDestinazioni(stato_.cartellaDati)) {
            combo1_->addItem(TestoQt(destinazione));
        }
    } catch (const std::exception& errore) {
        // Without its configuration the menu cannot work: back to the request window.
        MostraErrore(errore);
        combo1_->clear();
    }
    if (combo1_->count() == 0) {
        Scarica();
        return;
    }
    combo1_->setCurrentIndex(0);
}

print::OpzioniStampa MenuStampa::Opzioni() const {
    print::OpzioniStampa opzioni;
    opzioni.destinazione = Testo1252(combo1_->currentText());
    if (combo2_->currentIndex() >= 0 &&
        combo2_->currentText() != TestoQt(print::kNessunaStampante)) {
        opzioni.stampante = Testo1252(combo2_->currentText());
    }
    opzioni.compressa = chk_->isChecked();
    opzioni.orizzontale = chk2_->isChecked();
    opzioni.fronteRetro = chk3_->isChecked();
    opzioni.hotelCorrente = stato_.HotelCorrente;
    opzioni.codiceAssistenza = codiceAssistenza_;
    return opzioni;
}

void MenuStampa::Tst_Click(int index) {
    try {
        switch (index) {
            case 3:
                servizi_.stampa(Opzioni());
                break;
            case 4:
                servizi_.mostraAnteprima();
                // The preview has closed: the menu is active again.
                Form_Activate();
                break;
            case 0:
                servizi_.apri(stato_.cartellaDati / percorsoDoc_);
                break;
            case 1:
                servizi_.apri(preview::ConvertiXLS(stato_.cartellaDati));
                break;
            case 2: {
                int scelta = -1;
                for (int i = 0; i < combo1_->count(); ++i) {
                    if (combo1_->itemText(i).contains(QStringLiteral("PDF"))) {
                        scelta = i;
                    }
                }
                if (scelta >= 0) {
                    combo1_->setCurrentIndex(scelta);
                    Tst_Click(3);
                } else {
                    servizi_.avviso(QStringLiteral("Nessuna stampante PDF impostata!"),
                                    QStringLiteral("Stampa"));
                }
                break;
            }
            case 5:
                Scarica();
                break;
            default:
                break;
        }
    } catch (const std::exception& errore) {
        MostraErrore(errore);
    }
}

void MenuStampa::Scarica() {
    scaricata_ = true;
    done(QDialog::Accepted);
}

void MenuStampa::closeEvent(QCloseEvent* event) {
    scaricata_ = true;
    QDialog::closeEvent(event);
}

}  // namespace tableau::gui
