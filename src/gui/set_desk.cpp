#include "gui/set_desk.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <array>

#include "chart/hotel_lists.h"
#include "gui/busy_cursor.h"
#include "gui/error_message.h"
#include "gui/keyboard.h"
#include "gui/list_tooltips.h"
#include "gui/msgbox_routine.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "routines/dates.h"
#include "routines/system_log.h"
#include "routines/text.h"

namespace tableau::gui {
namespace {

constexpr int kInvio = 13;
const QColor kSfondo(192, 192, 255);

// Characters that may be typed in a room box and in the date box.
constexpr int kCaratteriCamera = 6;
constexpr int kCaratteriData = 10;

// Room-range and date frames, drawn around the three boxes.
constexpr std::array<std::array<int, 4>, 3> kCornici{
    {{1320, 840, 1215, 495}, {1320, 1440, 1215, 495}, {1320, 2040, 1815, 495}}};

// The window's size in twips; with data from a server it is taller by the server's line.
constexpr int kLarghezza = 3765;
constexpr int kAltezza = 3765;
constexpr int kAltezzaRigaServer = 480;

}  // namespace

SetDesk::SetDesk(StatoProgramma& stato, ServiziRichiesta servizi, QWidget* parent)
    : QWidget(parent), stato_(stato), servizi_(std::move(servizi)) {
    costruisciControlli();
}

SetDesk::~SetDesk() = default;

void SetDesk::costruisciControlli() {
    setWindowTitle(QStringLiteral("Tableau Tavornelide"));
    setWindowIcon(Icona("tableau"));
    Colora(this, kSfondo);
    setFixedSize(DimensioneTwips(kLarghezza, kAltezza));

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

    const auto elenco = [this](int top) {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        combo->setFont(Carattere("Arial", 7.5, true));
        ColoraElenco(combo);
        MostraVociIntere(combo);
        combo->setGeometry(RettangoloTwips(1320, top, 2052, 300));
        return combo;
    };
    elencoHotel_ = elenco(120);
    connect(elencoHotel_, &QComboBox::activated, this, [this] { elencoHotel_Click(); });
    elencoTableau_ = elenco(480);
    connect(elencoTableau_, &QComboBox::activated, this, [this] { elencoTableau_Click(); });

    const auto casella = [this](QRect posto, int lunghezzaMassima) {
        auto* nuova = new QLineEdit(this);
        nuova->setFont(Carattere("Arial", 9.75));
        Colora(nuova, Qt::white, Qt::black);
        nuova->setMaxLength(lunghezzaMassima);
        nuova->setGeometry(posto);
        nuova->installEventFilter(this);
        return nuova;
    };
    casellaPrimaCamera_ = casella(RettangoloTwips(1440, 960, 972, 288), kCaratteriCamera);
    casellaUltimaCamera_ = casella(RettangoloTwips(1440, 1560, 972, 288), kCaratteriCamera);
    casellaData_ = casella(RettangoloTwips(1440, 2160, 1575, 288), kCaratteriData);

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

    rigaServer_ = new QLabel(this);
    rigaServer_->setFont(Carattere("Arial", 7.5));
    rigaServer_->setWordWrap(true);
    rigaServer_->setGeometry(RettangoloTwips(120, kAltezza - 15, 3525, kAltezzaRigaServer - 30));
    rigaServer_->hide();

    tastoStampa_ = stampa;
    tastoEsci_ = esci;
    connect(tastoStampa_, &QAbstractButton::clicked, this, [this] { tastoStampa_Click(); });
    connect(tastoEsci_, &QAbstractButton::clicked, this, [this] { tastoEsci_Click(); });

    // Tab order: the three boxes, "&Stampa", "&Esci", the block list, the hotel list.
    setTabOrder(casellaPrimaCamera_, casellaUltimaCamera_);
    setTabOrder(casellaUltimaCamera_, casellaData_);
    setTabOrder(casellaData_, tastoStampa_);
    setTabOrder(tastoStampa_, tastoEsci_);
    setTabOrder(tastoEsci_, elencoTableau_);
    setTabOrder(elencoTableau_, elencoHotel_);
    RegoleTastiera(this);
}

bool SetDesk::avvia() {
    Form_Load();
    PortaNelloSchermo(this);
    show();
    Form_Activate();
    return !scaricata_;
}

void SetDesk::Form_Load() {
    // Read whole and let go: no file or connection stays open while the window waits.
    const auto sorgente = ApriSorgente(stato_);
    const auto leggi = [&sorgente](std::optional<db::RecordSet>& tabella, const char* file,
                                   const char* nomeTabella) {
        tabella = sorgente->open(file)->openTable(nomeTabella);
    };
    leggi(tabellaTableau_, "Tableau.mdb", "Tableau");
    leggi(tabellaHotel_, "AnagraficaHotels.mdb", "AnagraficaHotels");
    leggi(tabellaNumeriCamere_, "NumeriCamere.mdb", "NumeriCamere");
    mostraProvenienza(*sorgente);
}

void SetDesk::mostraProvenienza(db::DataSource& sorgente) {
    if (!sorgente.fromServer()) {
        rigaServer_->hide();
        setFixedSize(DimensioneTwips(kLarghezza, kAltezza));
        return;
    }
    // Last night's copy is not live data: the window says which copy it shows.
    const auto ultima = sorgente.lastSync();
    rigaServer_->setText(QStringLiteral("Dati dal %1, ")
                             .arg(QString::fromStdString(sorgente.describe()))
                             .append(ultima ? QStringLiteral("sincronizzati il %1.")
                                                  .arg(QString::fromStdString(ultima->when))
                                            : QStringLiteral("mai sincronizzati.")));
    rigaServer_->setToolTip(ultima ? QStringLiteral("Copiati dalla cartella %1")
                                         .arg(QString::fromStdString(ultima->directory))
                                   : QString());
    setFixedSize(DimensioneTwips(kLarghezza, kAltezza + kAltezzaRigaServer));
    rigaServer_->show();
}

void SetDesk::Form_Activate() {
    if (scaricata_ || !tabellaHotel_) {
        return;
    }
    inAttivazione_ = true;
    try {
        elencoHotel_->clear();
        elencoTableau_->clear();
        impostaTesto(casellaData_, oggi());
        for (const chart::VoceElenco& voce : chart::ElencoHotel(*tabellaHotel_)) {
            elencoHotel_->addItem(TestoQt(voce.testo), QVariant::fromValue(voce.numero));
        }
        if (elencoHotel_->count() == 0) {
            inAttivazione_ = false;
            scarica();
            return;
        }
        stato_.hotelCorrente = static_cast<std::int16_t>(elencoHotel_->itemData(0).toInt());
        elencoHotel_->setCurrentIndex(0);
        elencoHotel_Click();
    } catch (const std::exception& errore) {
        fallimento(errore);
    }
    inAttivazione_ = false;
}

void SetDesk::Form_Unload() {
    tabellaTableau_.reset();
    tabellaHotel_.reset();
    tabellaNumeriCamere_.reset();
}

void SetDesk::elencoHotel_Click() {
    if (scaricata_) {
        return;
    }
    try {
        stato_.hotelCorrente = static_cast<std::int16_t>(elencoHotel_->currentData().toInt());
        elencoTableau_->clear();
        for (const chart::VoceElenco& voce :
             chart::ElencoTableau(*tabellaTableau_, stato_.hotelCorrente)) {
            elencoTableau_->addItem(TestoQt(voce.testo), QVariant::fromValue(voce.numero));
        }
        if (elencoTableau_->count() == 0) {
            scarica();
            return;
        }
        stato_.tableauCorrente = static_cast<std::int16_t>(elencoTableau_->itemData(0).toInt());
        elencoTableau_->setCurrentIndex(0);
        elencoTableau_Click();
    } catch (const std::exception& errore) {
        fallimento(errore);
    }
}

void SetDesk::elencoTableau_Click() {
    if (scaricata_) {
        return;
    }
    try {
        stato_.tableauCorrente = static_cast<std::int16_t>(elencoTableau_->currentData().toInt());
        // The room types are read at each pick, as they were from the files.
        const chart::IntervalloCamere intervallo =
            chart::ProponiIntervallo(*tabellaNumeriCamere_, *ApriSorgente(stato_),
                                     stato_.hotelCorrente, stato_.tableauCorrente);
        impostaTesto(casellaPrimaCamera_, TestoQt(intervallo.prima));
        impostaTesto(casellaUltimaCamera_, TestoQt(intervallo.ultima));
        tastoStampa_->setFocus(Qt::OtherFocusReason);
    } catch (const std::exception& errore) {
        fallimento(errore);
    }
}

void SetDesk::casellaPrimaCamera_GotFocus() {
    casellaPrimaCamera_->selectAll();
}

void SetDesk::casellaUltimaCamera_GotFocus() {
    casellaUltimaCamera_->selectAll();
}

void SetDesk::casellaData_GotFocus() {
    casellaData_->selectAll();
}

void SetDesk::casellaPrimaCamera_KeyPress(int key) {
    allInvio(casellaPrimaCamera_, key,
             [this] { casellaUltimaCamera_->setFocus(Qt::OtherFocusReason); });
}

void SetDesk::casellaUltimaCamera_KeyPress(int key) {
    allInvio(casellaUltimaCamera_, key, [this] {
        if (testoCasella(casellaUltimaCamera_) > testoCasella(casellaPrimaCamera_)) {
            casellaData_->setFocus(Qt::OtherFocusReason);
        } else {
            avvisa(chart::RichiestaRifiutata(chart::Difetto::camere));
        }
    });
}

void SetDesk::casellaData_KeyPress(int key) {
    allInvio(casellaData_, key, [this] {
        std::string dataInizio = testoCasella(casellaData_);
        routines::FormattaData(dataInizio, stato_.orologio->adesso().anno);
        impostaTesto(casellaData_, TestoQt(dataInizio));
        if (routines::DataValida(dataInizio)) {
            tastoStampa_->setFocus(Qt::OtherFocusReason);
        } else {
            avvisa(chart::RichiestaRifiutata(chart::Difetto::data));
            impostaTesto(casellaData_, oggi());
        }
    });
}

void SetDesk::allInvio(QLineEdit* casella, int key, const std::function<void()>& seguito) {
    if (key != kInvio) {
        return;
    }
    try {
        impostaTesto(casella, TestoQt(routines::FiltraCaratteri(testoCasella(casella), 0)));
        seguito();
    } catch (const std::exception& errore) {
        fallimento(errore);
    }
}

void SetDesk::tastoEsci_Click() {
    scarica();
}

void SetDesk::tastoStampa_Click() {
    const std::string prima = testoCasella(casellaPrimaCamera_);
    const std::string ultima = testoCasella(casellaUltimaCamera_);
    const std::string dataInizio = testoCasella(casellaData_);
    if (const auto difetto = chart::DifettoRichiesta(prima, ultima, dataInizio)) {
        avvisa(chart::RichiestaRifiutata(*difetto));
        if (*difetto == chart::Difetto::camere) {
            casellaPrimaCamera_->setFocus(Qt::OtherFocusReason);
        } else {
            impostaTesto(casellaData_, oggi());
            casellaData_->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    try {
        // A chart from Jet files on a network share can take seconds.
        const Occupato occupato(this);
        const chart::RichiestaTableau richiesta{stato_.hotelCorrente, stato_.tableauCorrente, prima,
                                                ultima, dataInizio};
        servizi_.creaTableau(richiesta);
        routines::RegistraEvento("tableau scritto: " +
                                 chart::DescriviRichiesta(richiesta, stato_.postazione()));
    } catch (const std::exception& errore) {
        fallimento(errore);
        return;
    }
    try {
        servizi_.mostraMenuStampa();
    } catch (const std::exception& errore) {
        fallimento(errore);
    }
    // The print menu has closed: the window is active again and starts the form over.
    Form_Activate();
}

void SetDesk::avvisa(const chart::RichiestaRifiutata& rifiuto) {
    MostraMessaggio(TestoQt(rifiuto.what()), TipoMessaggio::okAvviso, TestoQt(rifiuto.titolo()));
    // The message box has closed: the window is active again.
    if (!inAttivazione_) {
        Form_Activate();
    }
}

void SetDesk::fallimento(const std::exception& errore) {
    MostraErrore(errore);
}

void SetDesk::impostaTesto(QLineEdit* casella, const QString& testo) {
    const int lunghezzaMassima = casella == casellaData_ ? kCaratteriData : kCaratteriCamera;
    // The limit holds for typing; a text the program puts in the box is never cut.
    casella->setMaxLength(std::max(lunghezzaMassima, static_cast<int>(testo.size())));
    casella->setText(testo);
}

std::string SetDesk::testoCasella(const QLineEdit* casella) {
    return Testo1252(casella->text());
}

QString SetDesk::oggi() const {
    const routines::DataOra adesso = stato_.orologio->adesso();
    return TestoQt(routines::TestoData(routines::Data{adesso.giorno, adesso.mese, adesso.anno}));
}

void SetDesk::scarica() {
    if (!scaricata_) {
        scaricata_ = true;
        Form_Unload();
    }
    close();
}

bool SetDesk::eventFilter(QObject* watched, QEvent* event) {
    struct GestoriCasella {
        QLineEdit* casella;
        void (SetDesk::*gotFocus)();
        void (SetDesk::*keyPress)(int);
    };
    const std::array<GestoriCasella, 3> caselle{{
        {casellaPrimaCamera_, &SetDesk::casellaPrimaCamera_GotFocus,
         &SetDesk::casellaPrimaCamera_KeyPress},
        {casellaUltimaCamera_, &SetDesk::casellaUltimaCamera_GotFocus,
         &SetDesk::casellaUltimaCamera_KeyPress},
        {casellaData_, &SetDesk::casellaData_GotFocus, &SetDesk::casellaData_KeyPress},
    }};
    for (const GestoriCasella& gestori : caselle) {
        if (watched != gestori.casella) {
            continue;
        }
        if (event->type() == QEvent::FocusIn) {
            (this->*gestori.gotFocus)();
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
                // The click that gave the focus would place the cursor: select afterwards.
                QMetaObject::invokeMethod(
                    this, [this, gotFocus = gestori.gotFocus] { (this->*gotFocus)(); },
                    Qt::QueuedConnection);
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto* tasto = static_cast<QKeyEvent*>(event);
            if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
                (this->*gestori.keyPress)(kInvio);
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
