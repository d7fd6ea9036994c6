#include "gui/anteprima.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "chart/chart_file.h"
#include "gui/error_message.h"
#include "gui/qt_text.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "preview/mail_handoff.h"

namespace tableau::gui {
namespace {

const QColor kSfondo(192, 192, 255);
const QColor kGialloChiaro(255, 255, 192);
constexpr double kPuntiIniziali = 11.25;
constexpr int kAltezzaTasti = 1125;

struct DefinizioneTasto {
    const char* didascalia;
    int left;
    int width;
};
// By index: "&Esci", "&Riduci", "E&spandi", "&Avanti", "&Inizio", "E-&mail", "Sa&lva".
constexpr std::array<DefinizioneTasto, 7> kTasti{{
    {"&Esci", 6795, 2655},
    {"&Riduci", 84, 975},
    {"E&spandi", 1200, 1095},
    {"&Avanti", 2400, 975},
    {"&Inizio", 3480, 975},
    {"E-&mail", 4560, 975},
    {"Sa&lva", 5640, 975},
}};

}  // namespace

Anteprima::Anteprima(std::filesystem::path cartellaDati, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      cartellaDati_(std::move(cartellaDati)),
      text1_(new QPlainTextEdit(this)) {
    setModal(true);
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
    Colora(this, kSfondo);
    resize(DimensioneTwips(9525, 7380));

    QFont courier = Carattere("Courier New", kPuntiIniziali);
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    text1_->setFont(courier);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette carta = text1_->palette();
    carta.setColor(QPalette::Base, kGialloChiaro);
    carta.setColor(QPalette::Text, Qt::black);
    text1_->setPalette(carta);
    text1_->setGeometry(RettangoloTwips(84, 84, 9372, 6048));

    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        QAbstractButton* tasto = nullptr;
        if (i == 0) {
            auto* esci = new QToolButton(this);
            esci->setIcon(Icona("esci", "application-exit"));
            esci->setIconSize(QSize(PixelX(480), PixelY(480)));
            esci->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            esci->setFont(Carattere("Corbel", 12, true));
            esci->setFocusPolicy(Qt::StrongFocus);
            Colora(esci, Qt::white, Qt::black);
            tasto = esci;
        } else {
            auto* pulsante = new QPushButton(this);
            pulsante->setAutoDefault(false);
            pulsante->setFont(Carattere("Corbel", 12));
            tasto = pulsante;
        }
        tasto->setText(QString::fromLatin1(kTasti[i].didascalia));
        tasto->setGeometry(RettangoloTwips(kTasti[i].left, 6216, kTasti[i].width, kAltezzaTasti));
        const int index = static_cast<int>(i);
        connect(tasto, &QAbstractButton::clicked, this, [this, index] { Tasto_Click(index); });
        tasti_[i] = tasto;
    }
    // Tab order: the page, "&Riduci", "E&spandi", "&Esci", "&Avanti", "&Inizio", "E-&mail",
    // "Sa&lva".
    QWidget* precedente = text1_;
    for (const std::size_t i : {1, 2, 0, 3, 4, 5, 6}) {
        setTabOrder(precedente, tasti_[i]);
        precedente = tasti_[i];
    }
}

Anteprima::~Anteprima() = default;

void Anteprima::Mostra() {
    Form_Load();
    if (!FileAperto()) {
        return;
    }
    exec();
}

void Anteprima::Form_Load() {
    if (const auto file = chart::TrovaFileTableau(cartellaDati_)) {
        lettore_ = std::make_unique<preview::LettoreTableau>(*file);
    }
}

void Anteprima::Form_Activate() {
    Disponi();
    if (!FileAperto()) {
        close();
        return;
    }
    try {
        CaricaPagina(preview::kLimitePrimaPagina);
    } catch (const std::exception& errore) {
        MostraErrore(errore);
    }
}

void Anteprima::Disponi() {
    // From the window's outer size, as the window was laid out when it was drawn by hand.
    const int larghezza = TwipsX(frameGeometry().width());
    const int altezza = TwipsY(frameGeometry().height());
    const int margineTasti = kAltezzaTasti * 3 / 2;
    text1_->setGeometry(RettangoloTwips(84, 84, larghezza - 200, altezza - (margineTasti + 150)));
    const int topTasti = altezza - (margineTasti + 10);
    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        const int width = i == 0 ? larghezza - kTasti[0].left - 150 : kTasti[i].width;
        tasti_[i]->setGeometry(RettangoloTwips(kTasti[i].left, topTasti, width, kAltezzaTasti));
    }
}

void Anteprima::CaricaPagina(long limite) {
    const preview::PaginaTableau pagina = lettore_->CaricaPagina(limite);
    QString testo = TestoQt(pagina.testo);
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text1_->setPlainText(testo);
    primaRigaPagina_ = pagina.primaRiga;
    righePagina_ = pagina.righe;
    caratteriLetti_ = pagina.caratteriLetti;
    altrePagine_ = pagina.altrePagine;
}

std::string Anteprima::TestoCasella() const {
    return Testo1252(text1_->toPlainText());
}

void Anteprima::Tasto_Click(int index) {
    const bool suFile = index == 3 || index == 4 || index == 6;
    if (suFile && !FileAperto()) {
        return;
    }
    try {
        switch (index) {
            case 0:
                accept();
                break;
            case 1: {
                QFont font = text1_->font();
                if (font.pointSizeF() > 1) {
                    font.setPointSizeF(font.pointSizeF() - 1);
                    text1_->setFont(font);
                }
                break;
            }
            case 2: {
                QFont font = text1_->font();
                font.setPointSizeF(font.pointSizeF() + 1);
                text1_->setFont(font);
                break;
            }
            case 3:
                if (altrePagine_) {
                    CaricaPagina(preview::kLimitePagina);
                }
                text1_->setFocus(Qt::OtherFocusReason);
                break;
            case 4:
                lettore_->Riavvolgi();
                CaricaPagina(preview::kLimitePagina);
                text1_->setFocus(Qt::OtherFocusReason);
                break;
            case 5:
                preview::InviaEMail(cartellaDati_, TestoCasella());
                break;
            case 6:
                Salva();
                break;
            default:
                break;
        }
    } catch (const std::exception& errore) {
        MostraErrore(errore);
    }
}

void Anteprima::Salva() {
    // Only the page on show is replaced; the other pages of the chart stay in the file.
    righePagina_ =
        preview::SalvaPagina(lettore_->File(), primaRigaPagina_, righePagina_, TestoCasella());
    lettore_->Riavvolgi();
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
        Disponi();
    }
}

}  // namespace tableau::gui
