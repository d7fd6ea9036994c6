#include "gui/anteprima.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

#include "chart/chart_file.h"
#include "gui/error_message.h"
#include "gui/keyboard.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "preview/mail_handoff.h"
#include "routines/system_log.h"

namespace tableau::gui {
namespace {

const QColor kSfondo(192, 192, 255);
const QColor kGialloChiaro(255, 255, 192);
constexpr double kPuntiIniziali = 11.25;
constexpr int kAltezzaTasti = 1125;
// The window's size as drawn.
constexpr int kLarghezzaDisegno = 9525;
constexpr int kAltezzaDisegno = 7380;

struct DefinizioneTasto {
    const char* didascalia;
    int left;
    int width;  // as drawn; "&Esci" takes the rest of the window's width
};
constexpr DefinizioneTasto kTastoEsci{"&Esci", 6795, 2655};
constexpr DefinizioneTasto kTastoRiduci{"&Riduci", 84, 975};
constexpr DefinizioneTasto kTastoEspandi{"E&spandi", 1200, 1095};
constexpr DefinizioneTasto kTastoAvanti{"&Avanti", 2400, 975};
constexpr DefinizioneTasto kTastoInizio{"&Inizio", 3480, 975};
constexpr DefinizioneTasto kTastoEMail{"E-&mail", 4560, 975};
constexpr DefinizioneTasto kTastoSalva{"Sa&lva", 5640, 975};

// Caption and place of a button as drawn.
void Prepara(QAbstractButton* tasto, const DefinizioneTasto& definizione) {
    tasto->setText(QString::fromLatin1(definizione.didascalia));
    tasto->setGeometry(RettangoloTwips(definizione.left, 6216, definizione.width, kAltezzaTasti));
}

QAbstractButton* Pulsante(QWidget* padre, const DefinizioneTasto& definizione) {
    auto* pulsante = new QPushButton(padre);
    pulsante->setAutoDefault(false);
    pulsante->setFont(Carattere("Corbel", 12));
    Prepara(pulsante, definizione);
    return pulsante;
}

}  // namespace

Anteprima::Anteprima(routines::Postazione postazione, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      postazione_(std::move(postazione)),
      casellaPagina_(new QPlainTextEdit(this)) {
    setModal(true);
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
    Colora(this, kSfondo);
    resize(DimensioneTwips(kLarghezzaDisegno, kAltezzaDisegno));

    QFont courier = Carattere("Courier New", kPuntiIniziali);
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    casellaPagina_->setFont(courier);
    casellaPagina_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab and Shift+Tab move the focus: the chart file never gets a TAB from the keyboard.
    casellaPagina_->setTabChangesFocus(true);
    casellaPagina_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    casellaPagina_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette carta = casellaPagina_->palette();
    carta.setColor(QPalette::Base, kGialloChiaro);
    carta.setColor(QPalette::Text, Qt::black);
    casellaPagina_->setPalette(carta);
    casellaPagina_->setGeometry(RettangoloTwips(84, 84, 9372, 6048));

    auto* esci = new QToolButton(this);
    esci->setIcon(Icona("esci", "application-exit"));
    esci->setIconSize(QSize(PixelX(480), PixelY(480)));
    esci->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    esci->setFont(Carattere("Corbel", 12, true));
    esci->setFocusPolicy(Qt::StrongFocus);
    Colora(esci, Qt::white, Qt::black);
    Prepara(esci, kTastoEsci);
    tastoEsci_ = esci;
    tastoRiduci_ = Pulsante(this, kTastoRiduci);
    tastoEspandi_ = Pulsante(this, kTastoEspandi);
    tastoAvanti_ = Pulsante(this, kTastoAvanti);
    tastoInizio_ = Pulsante(this, kTastoInizio);
    tastoEMail_ = Pulsante(this, kTastoEMail);
    tastoSalva_ = Pulsante(this, kTastoSalva);
    connect(tastoEsci_, &QAbstractButton::clicked, this, [this] { tastoEsci_Click(); });
    connect(tastoRiduci_, &QAbstractButton::clicked, this, [this] { tastoRiduci_Click(); });
    connect(tastoEspandi_, &QAbstractButton::clicked, this, [this] { tastoEspandi_Click(); });
    connect(tastoAvanti_, &QAbstractButton::clicked, this, [this] { tastoAvanti_Click(); });
    connect(tastoInizio_, &QAbstractButton::clicked, this, [this] { tastoInizio_Click(); });
    connect(tastoEMail_, &QAbstractButton::clicked, this, [this] { tastoEMail_Click(); });
    connect(tastoSalva_, &QAbstractButton::clicked, this, [this] { tastoSalva_Click(); });

    // Tab order: the page, "&Riduci", "E&spandi", "&Esci", "&Avanti", "&Inizio", "E-&mail",
    // "Sa&lva".
    QWidget* precedente = casellaPagina_;
    for (QWidget* tasto : {tastoRiduci_, tastoEspandi_, tastoEsci_, tastoAvanti_, tastoInizio_,
                           tastoEMail_, tastoSalva_}) {
        setTabOrder(precedente, tasto);
        precedente = tasto;
    }
    RegoleTastiera(this);
}

Anteprima::~Anteprima() = default;

void Anteprima::mostra() {
    Form_Load();
    if (!fileAperto()) {
        return;
    }
    exec();
}

void Anteprima::Form_Load() {
    if (const auto file = chart::TrovaFileTableau(postazione_)) {
        lettore_ = std::make_unique<preview::LettoreTableau>(*file);
    }
}

void Anteprima::Form_Activate() {
    PortaNelloSchermo(this);
    disponi();
    if (!fileAperto()) {
        close();
        return;
    }
    try {
        caricaPagina(preview::kLimitePrimaPagina);
    } catch (const std::exception& errore) {
        MostraErrore(errore);
    }
}

void Anteprima::disponi() {
    // From the window's outer size, as the window was laid out when it was drawn by hand.
    // A window smaller than drawn (a small screen) shrinks its buttons in step, so that
    // the whole row stays inside it.
    const int larghezza = TwipsX(frameGeometry().width());
    const int altezza = TwipsY(frameGeometry().height());
    const auto inLarghezza = [larghezza](int twips) {
        return larghezza >= kLarghezzaDisegno ? twips : twips * larghezza / kLarghezzaDisegno;
    };
    const auto inAltezza = [altezza](int twips) {
        return altezza >= kAltezzaDisegno ? twips : twips * altezza / kAltezzaDisegno;
    };
    const int altezzaTasti = inAltezza(kAltezzaTasti);
    const int margineTasti = altezzaTasti * 3 / 2;
    casellaPagina_->setGeometry(RettangoloTwips(84, 84, std::max(0, larghezza - 200),
                                                std::max(0, altezza - (margineTasti + 150))));
    const int topTasti = altezza - (margineTasti + 10);
    const auto posiziona = [&](QAbstractButton* tasto, const DefinizioneTasto& definizione) {
        tasto->setGeometry(RettangoloTwips(inLarghezza(definizione.left), topTasti,
                                           inLarghezza(definizione.width), altezzaTasti));
    };
    const int leftEsci = inLarghezza(kTastoEsci.left);
    tastoEsci_->setGeometry(
        RettangoloTwips(leftEsci, topTasti, larghezza - leftEsci - inLarghezza(150), altezzaTasti));
    posiziona(tastoRiduci_, kTastoRiduci);
    posiziona(tastoEspandi_, kTastoEspandi);
    posiziona(tastoAvanti_, kTastoAvanti);
    posiziona(tastoInizio_, kTastoInizio);
    posiziona(tastoEMail_, kTastoEMail);
    posiziona(tastoSalva_, kTastoSalva);
}

void Anteprima::caricaPagina(long limite) {
    const preview::PaginaTableau pagina = lettore_->caricaPagina(limite);
    QString testo = TestoQt(pagina.testo);
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    casellaPagina_->setPlainText(testo);
    primaRigaPagina_ = pagina.primaRiga;
    righePagina_ = pagina.righe;
    caratteriLetti_ = pagina.caratteriLetti;
    altrePagine_ = pagina.altrePagine;
}

std::string Anteprima::testoPagina() const {
    return Testo1252(casellaPagina_->toPlainText());
}

void Anteprima::tastoEsci_Click() {
    accept();
}

void Anteprima::tastoRiduci_Click() {
    QFont font = casellaPagina_->font();
    if (font.pointSizeF() > 1) {
        font.setPointSizeF(font.pointSizeF() - 1);
        casellaPagina_->setFont(font);
    }
}

void Anteprima::tastoEspandi_Click() {
    QFont font = casellaPagina_->font();
    font.setPointSizeF(font.pointSizeF() + 1);
    casellaPagina_->setFont(font);
}

void Anteprima::tastoAvanti_Click() {
    if (!fileAperto()) {
        return;
    }
    EseguiMostrandoErrori([this] {
        if (altrePagine_) {
            caricaPagina(preview::kLimitePagina);
        }
        casellaPagina_->setFocus(Qt::OtherFocusReason);
    });
}

void Anteprima::tastoInizio_Click() {
    if (!fileAperto()) {
        return;
    }
    EseguiMostrandoErrori([this] {
        lettore_->riavvolgi();
        caricaPagina(preview::kLimitePagina);
        casellaPagina_->setFocus(Qt::OtherFocusReason);
    });
}

void Anteprima::tastoEMail_Click() {
    EseguiMostrandoErrori([this] {
        preview::InviaEMail(postazione_, testoPagina());
        routines::RegistraEvento("pagina del tableau consegnata al programma di posta");
    });
}

void Anteprima::tastoSalva_Click() {
    if (!fileAperto()) {
        return;
    }
    EseguiMostrandoErrori([this] { salva(); });
}

void Anteprima::salva() {
    // Only the page on show is replaced; the other pages of the chart stay in the file.
    righePagina_ =
        preview::SalvaPagina(lettore_->file(), primaRigaPagina_, righePagina_, testoPagina());
    lettore_->riavvolgi();
}

void Anteprima::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!attivata_) {
        attivata_ = true;
        Form_Activate();
    }
}

void Anteprima::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (attivata_) {
        disponi();
    }
}

}  // namespace tableau::gui
