#include "gui/set_desk.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include "chart/hotel_lists.h"
#include "gui/error_message.h"
#include "gui/msgbox_routine.h"
#include "gui/qt_text.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "routines/dates.h"
#include "routines/text.h"

namespace tableau::gui {
namespace {

constexpr int kInvio = 13;
const QColor kSfondo(192, 192, 255);
const QColor kSfondoElenchi(255, 224, 192);

// Characters that may be typed in each box.
constexpr std::array<int, 3> kLunghezzaMassima{6, 6, 10};

// Room-range and date frames, drawn around the three boxes.
constexpr std::array<std::array<int, 4>, 3> kCornici{
    {{1320, 840, 1215, 495}, {1320, 1440, 1215, 495}, {1320, 2040, 1815, 495}}};

}  // namespace

SetDesk::SetDesk(StatoProgramma& stato, ServiziRichiesta servizi, QWidget* parent)
    : QWidget(parent), stato_(stato), servizi_(std::move(servizi)) {
    CostruisciControlli();
}

SetDesk::~SetDesk() = default;

void SetDesk::CostruisciControlli() {
    setWindowTitle(QStringLiteral("Tableau Tavornelide"));
    setWindowIcon(Icona("tableau"));
    Colora(this, kSfondo);
    setFixedSize(DimensioneTwips(3765, 3765));

    struct Etichetta {
        const char* testo;
        int top;
    };
    for (const Etichetta& e : {Etichetta{"N. Hotel .........:", 120},
                               {"N. Tableau ", 480},
                               {"Dalla Camera :", 960},
                               {"Alla Camera ..:", 1560},
                               {"Data inizio ....:", 2160}}) {
        auto* label = new QLabel(QString::fromLatin1(e.testo), this);
        label->setFont(Carattere("Corbel", 9.75));
        label->setGeometry(RettangoloTwips(120, e.top, 1095, 255));
    }

    for (std::size_t i = 0; i < combo1_.size(); ++i) {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        combo->setFont(Carattere("Arial", 7.5, true));
        combo->setStyleSheet(QStringLiteral("QComboBox { background-color: rgb(255, 224, 192); }"));
        combo->setGeometry(RettangoloTwips(1320, i == 0 ? 120 : 480, 2052, 300));
        const int index = static_cast<int>(i);
        connect(combo, &QComboBox::activated, this, [this, index] { Combo1_Click(index); });
        combo1_[i] = combo;
    }

    const std::array<QRect, 3> caselle{RettangoloTwips(1440, 960, 972, 288),
                                       RettangoloTwips(1440, 1560, 972, 288),
                                       RettangoloTwips(1440, 2160, 1575, 288)};
    for (std::size_t i = 0; i < text1_.size(); ++i) {
        auto* casella = new QLineEdit(this);
        casella->setFont(Carattere("Arial", 9.75));
        Colora(casella, Qt::white, Qt::black);
        casella->setMaxLength(kLunghezzaMassima[i]);
        casella->setGeometry(caselle[i]);
        casella->installEventFilter(this);
        text1_[i] = casella;
    }

    auto* stampa = new QPushButton(QStringLiteral("&Stampa"), this);
    stampa->setFont(Carattere("Corbel", 12));
    stampa->setAutoDefault(false);
    stampa->setGeometry(RettangoloTwips(120, 2640, 1608, 1050));

    auto* esci = new QToolButton(this);
    esci->setText(QStringLiteral("&Esci"));
    esci->setFont(Carattere("Corbel", 12, true));
    esci->setIcon(Icona("esci", "application-exit"));
    esci->setIconSize(QSize(PixelX(480), PixelY(480)));
    esci->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Colora(esci, Qt::white, Qt::black);
    esci->setGeometry(RettangoloTwips(2040, 2640, 1608, 1050));
    esci->setFocusPolicy(Qt::StrongFocus);

    tasti_ = {stampa, esci};
    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        const int index = static_cast<int>(i);
        connect(tasti_[i], &QAbstractButton::clicked, this, [this, index] { Tasto_Click(index); });
    }

    // Tab order: the three boxes, "&Stampa", "&Esci", the block list, the hotel list.
    setTabOrder(text1_[0], text1_[1]);
    setTabOrder(text1_[1], text1_[2]);
    setTabOrder(text1_[2], stampa);
    setTabOrder(stampa, esci);
    setTabOrder(esci, combo1_[1]);
    setTabOrder(combo1_[1], combo1_[0]);
}

bool SetDesk::Avvia() {
    Form_Load();
    show();
    Form_Activate();
    return !scaricata_;
}

void SetDesk::Form_Load() {
    static constexpr std::array<std::pair<const char*, const char*>, 3> kArchivi{{
        {"Tableau.mdb", "Tableau"},
        {"AnagraficaHotels.mdb", "AnagraficaHotels"},
        {"NumeriCamere.mdb", "NumeriCamere"},
    }};
    for (std::size_t slot = 0; slot < kArchivi.size(); ++slot) {
        archiviAperti_[slot] = db::openDatabase(stato_.cartellaDati, kArchivi[slot].first);
        tabelleAperte_[slot] = archiviAperti_[slot]->openTable(kArchivi[slot].second);
    }
}

void SetDesk::Form_Activate() {
    if (scaricata_ || !tabelleAperte_[1]) {
        return;
    }
    inAttivazione_ = true;
    try {
        combo1_[0]->clear();
        combo1_[1]->clear();
        ImpostaTesto(2, Oggi());
        for (const chart::VoceElenco& voce : chart::ElencoHotel(*tabelleAperte_[1])) {
            combo1_[0]->addItem(TestoQt(voce.testo), QVariant::fromValue(voce.numero));
        }
        if (combo1_[0]->count() == 0) {
            inAttivazione_ = false;
            Scarica();
            return;
        }
        stato_.HotelCorrente = static_cast<std::int16_t>(combo1_[0]->itemData(0).toInt());
        combo1_[0]->setCurrentIndex(0);
        Combo1_Click(0);
    } catch (const std::exception& errore) {
        Fallimento(errore);
    }
    inAttivazione_ = false;
}

void SetDesk::Form_Unload() {
    for (std::size_t slot = 0; slot < archiviAperti_.size(); ++slot) {
        tabelleAperte_[slot].reset();
        archiviAperti_[slot].reset();
    }
}

void SetDesk::Combo1_Click(int index) {
    if (scaricata_) {
        return;
    }
    try {
        if (index == 0) {
            stato_.HotelCorrente = static_cast<std::int16_t>(combo1_[0]->currentData().toInt());
            combo1_[1]->clear();
            for (const chart::VoceElenco& voce :
                 chart::ElencoTableau(*tabelleAperte_[0], stato_.HotelCorrente)) {
                combo1_[1]->addItem(TestoQt(voce.testo), QVariant::fromValue(voce.numero));
            }
            if (combo1_[1]->count() == 0) {
                Scarica();
                return;
            }
            stato_.TableauCorrente = static_cast<std::int16_t>(combo1_[1]->itemData(0).toInt());
            combo1_[1]->setCurrentIndex(0);
            Combo1_Click(1);
            return;
        }
        stato_.TableauCorrente = static_cast<std::int16_t>(combo1_[1]->currentData().toInt());
        const chart::IntervalloCamere intervallo = chart::ProponiIntervallo(
            *tabelleAperte_[2], stato_.cartellaDati, stato_.HotelCorrente, stato_.TableauCorrente);
        ImpostaTesto(0, TestoQt(intervallo.prima));
        ImpostaTesto(1, TestoQt(intervallo.ultima));
        tasti_[0]->setFocus(Qt::OtherFocusReason);
    } catch (const std::exception& errore) {
        Fallimento(errore);
    }
}

void SetDesk::Text1_GotFocus(int index) {
    text1_.at(static_cast<std::size_t>(index))->selectAll();
}

void SetDesk::Text1_KeyPress(int index, int key) {
    if (key != kInvio) {
        return;
    }
    try {
        ImpostaTesto(index, TestoQt(routines::FiltraCaratteri(TestoCasella(index), 0)));
        switch (index) {
            case 0:
                text1_[1]->setFocus(Qt::OtherFocusReason);
                break;
            case 1:
                if (TestoCasella(1) > TestoCasella(0)) {
                    text1_[2]->setFocus(Qt::OtherFocusReason);
                } else {
                    Avvisa(chart::RichiestaRifiutata(chart::Difetto::camere));
                }
                break;
            case 2: {
                std::string dataInizio = TestoCasella(2);
                routines::FormattaData(dataInizio, stato_.orologio->adesso().anno);
                ImpostaTesto(2, TestoQt(dataInizio));
                if (routines::DataValida(dataInizio)) {
                    tasti_[0]->setFocus(Qt::OtherFocusReason);
                } else {
                    Avvisa(chart::RichiestaRifiutata(chart::Difetto::data));
                    ImpostaTesto(2, Oggi());
                }
                break;
            }
            default:
                break;
        }
    } catch (const std::exception& errore) {
        Fallimento(errore);
    }
}

void SetDesk::Tasto_Click(int index) {
    if (index == 1) {
        Scarica();
        return;
    }
    const std::string prima = TestoCasella(0);
    const std::string ultima = TestoCasella(1);
    const std::string dataInizio = TestoCasella(2);
    if (const auto difetto = chart::DifettoRichiesta(prima, ultima, dataInizio)) {
        Avvisa(chart::RichiestaRifiutata(*difetto));
        if (*difetto == chart::Difetto::camere) {
            text1_[0]->setFocus(Qt::OtherFocusReason);
        } else {
            ImpostaTesto(2, Oggi());
            text1_[2]->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    try {
        servizi_.creaTableau(chart::RichiestaTableau{stato_.HotelCorrente, stato_.TableauCorrente,
                                                     prima, ultima, dataInizio});
    } catch (const std::exception& errore) {
        Fallimento(errore);
        return;
    }
    try {
        servizi_.mostraMenuStampa();
    } catch (const std::exception& errore) {
        Fallimento(errore);
    }
    // The print menu has closed: the window is active again and starts the form over.
    Form_Activate();
}

void SetDesk::Avvisa(const chart::RichiestaRifiutata& rifiuto) {
    MostraMessaggio(TestoQt(rifiuto.what()), 48, TestoQt(rifiuto.titolo()));
    // The message box has closed: the window is active again.
    if (!inAttivazione_) {
        Form_Activate();
    }
}

void SetDesk::Fallimento(const std::exception& errore) {
    MostraErrore(errore);
}

void SetDesk::ImpostaTesto(int index, const QString& testo) {
    QLineEdit* casella = text1_.at(static_cast<std::size_t>(index));
    // The limit holds for typing; a text the program puts in the box is never cut.
    casella->setMaxLength(std::max(kLunghezzaMassima.at(static_cast<std::size_t>(index)),
                                   static_cast<int>(testo.size())));
    casella->setText(testo);
}

std::string SetDesk::TestoCasella(int index) const {
    return Testo1252(text1_.at(static_cast<std::size_t>(index))->text());
}

QString SetDesk::Oggi() const {
    const routines::DataOra adesso = stato_.orologio->adesso();
    return TestoQt(routines::TestoData(routines::Data{adesso.giorno, adesso.mese, adesso.anno}));
}

void SetDesk::Scarica() {
    if (!scaricata_) {
        scaricata_ = true;
        Form_Unload();
    }
    close();
}

bool SetDesk::eventFilter(QObject* watched, QEvent* event) {
    for (std::size_t i = 0; i < text1_.size(); ++i) {
        if (watched != text1_[i]) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (event->type() == QEvent::FocusIn) {
            Text1_GotFocus(index);
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                // The click that gave the focus would place the cursor: select afterwards.
                QMetaObject::invokeMethod(
                    this, [this, index] { Text1_GotFocus(index); }, Qt::QueuedConnection);
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto* tasto = static_cast<QKeyEvent*>(event);
            if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
                Text1_KeyPress(index, kInvio);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SetDesk::closeEvent(QCloseEvent* event) {
    if (!scaricata_) {
        scaricata_ = true;
        Form_Unload();
    }
    QWidget::closeEvent(event);
}

void SetDesk::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    for (const auto& c : kCornici) {
        painter.drawRoundedRect(RettangoloTwips(c[0], c[1], c[2], c[3]), PixelX(120), PixelY(120));
    }
}

}  // namespace tableau::gui
