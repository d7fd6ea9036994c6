#include "gui/msgbox_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "gui/keyboard.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/twips.h"
#include "gui/window_style.h"
#include "routines/message_layout.h"

namespace tableau::gui {
namespace {

const QColor kVerde(0, 128, 0);
const QColor kBlu(0, 0, 255);

void Posiziona(QWidget* widget, const routines::Riquadro& r) {
    widget->setGeometry(RettangoloTwips(r.left, r.top, r.width, r.height));
}

}  // namespace

MsgBox_Form::MsgBox_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      etichettaTitolo_(new QLabel(this)),
      casellaTesto_(new QPlainTextEdit(this)) {
    setModal(true);
    setAutoFillBackground(true);
    QPalette sfondo = palette();
    sfondo.setColor(QPalette::Window, kVerde);
    setPalette(sfondo);

    etichettaTitolo_->setFont(Carattere("Corbel", 12, true));
    etichettaTitolo_->setAutoFillBackground(true);
    QPalette titolo = etichettaTitolo_->palette();
    titolo.setColor(QPalette::Window, Qt::white);
    titolo.setColor(QPalette::WindowText, kVerde);
    etichettaTitolo_->setPalette(titolo);
    etichettaTitolo_->setAlignment(Qt::AlignCenter);
    Posiziona(etichettaTitolo_, routines::kTitolo);

    casellaTesto_->setFont(Carattere("Corbel", 9.75));
    casellaTesto_->setReadOnly(true);
    casellaTesto_->setLineWrapMode(QPlainTextEdit::NoWrap);
    casellaTesto_->setFrameShape(QFrame::NoFrame);
    QPalette testo = casellaTesto_->palette();
    testo.setColor(QPalette::Base, Qt::white);
    testo.setColor(QPalette::Text, kBlu);
    casellaTesto_->setPalette(testo);
    Posiziona(casellaTesto_, routines::kTesto);

    const auto crea = [this](routines::TastoMessaggio posto) {
        const auto i = static_cast<std::size_t>(posto);
        auto* tasto = new QPushButton(TestoQt(routines::kDidascalieDefinite[i]), this);
        tasto->setFont(Carattere("Corbel", 12));
        // No default button: Enter and Space press the button that has the focus.
        tasto->setAutoDefault(false);
        tasto->setDefault(false);
        Posiziona(tasto, routines::kTasti[i]);
        return tasto;
    };
    tastoConferma_ = crea(routines::TastoMessaggio::conferma);
    tastoNo_ = crea(routines::TastoMessaggio::no);
    tastoAnnulla_ = crea(routines::TastoMessaggio::annulla);
    connect(tastoConferma_, &QPushButton::clicked, this, &MsgBox_Form::tastoConferma_Click);
    connect(tastoNo_, &QPushButton::clicked, this, &MsgBox_Form::tastoNo_Click);
    connect(tastoAnnulla_, &QPushButton::clicked, this, &MsgBox_Form::tastoAnnulla_Click);
    setTabOrder(tastoConferma_, tastoNo_);
    setTabOrder(tastoNo_, tastoAnnulla_);
    setTabOrder(tastoAnnulla_, casellaTesto_);
    etichettaTitolo_->setFocusPolicy(Qt::NoFocus);
    RegoleTastiera(this);

    Form_Load();
}

void MsgBox_Form::Form_Load() {
    resize(DimensioneTwips(routines::kLarghezzaFinestra, routines::kAltezzaFinestra));
    // Centred at the defined size; the window keeps that corner when it takes the text's size.
    const QScreen* schermo = QGuiApplication::primaryScreen();
    if (schermo != nullptr) {
        const QRect area = schermo->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
}

void MsgBox_Form::prepara(const QString& testo, routines::TipoMessaggio tipo,
                          const QString& titolo) {
    testo1252_ = Testo1252(testo);
    QString mostrato = testo;
    mostrato.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    mostrato.replace(QChar('\r'), QChar('\n'));
    casellaTesto_->setPlainText(mostrato);
    etichettaTitolo_->setText(titolo);
    setWindowTitle(titolo);
    tipoMessaggio_ = tipo;
    const routines::TastiMessaggio set = routines::TastiPerTipo(tipo);
    const auto tasti = Tasti();
    for (std::size_t i = 0; i < tasti.size(); ++i) {
        tasti[i]->setText(TestoQt(set.didascalie[i]));
        tasti[i]->setVisible(set.visibili[i]);
    }
    // The layout must fit before the window is shown: a text too large fails here.
    (void)routines::CalcolaLayout(testo1252_, tipoMessaggio_);
}

void MsgBox_Form::Form_Activate() {
    const routines::LayoutMessaggio layout = routines::CalcolaLayout(testo1252_, tipoMessaggio_);
    // The layout is the text's: the window takes its size and keeps it.
    setFixedSize(DimensioneTwips(layout.larghezza, layout.altezza));
    Posiziona(etichettaTitolo_, layout.titolo);
    Posiziona(casellaTesto_, layout.testo);
    const auto tasti = Tasti();
    for (std::size_t i = 0; i < tasti.size(); ++i) {
        Posiziona(tasti[i], layout.tasti[i]);
    }
    PortaNelloSchermo(this);
    // Types that put no focus of their own leave it where the window starts it: on the first
    // control of the tab order, the first button, never in the message's text.
    tastoConferma_->setFocus(routines::TastiPerTipo(tipoMessaggio_).fuocoSulPrimo
                                 ? Qt::OtherFocusReason
                                 : Qt::TabFocusReason);
    update();
}

void MsgBox_Form::tastoConferma_Click() {
    rispondi(routines::TastoMessaggio::conferma);
}

void MsgBox_Form::tastoNo_Click() {
    rispondi(routines::TastoMessaggio::no);
}

void MsgBox_Form::tastoAnnulla_Click() {
    rispondi(routines::TastoMessaggio::annulla);
}

void MsgBox_Form::rispondi(routines::TastoMessaggio tasto) {
    const QString didascalia = Tasti().at(static_cast<std::size_t>(tasto))->text();
    if (const auto risposta = routines::RispostaTastoPremuto(tasto, Testo1252(didascalia))) {
        rispostaMessaggio_ = *risposta;
    }
    chiusaDaTasto_ = true;
    done(static_cast<int>(rispostaMessaggio_));
}

void MsgBox_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void MsgBox_Form::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The frame around the whole window.
    QPainter painter(this);
    painter.setPen(QPen(kVerde, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void MsgBox_Form::closeEvent(QCloseEvent* event) {
    // Only a button closes the window: every message gets an answer of its own.
    if (chiusaDaTasto_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void MsgBox_Form::reject() {
    // Escape does nothing: none of the buttons is a cancel button.
}

}  // namespace tableau::gui
