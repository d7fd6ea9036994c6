#include "gui/msgbox_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "gui/qt_text.h"
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
      label1_(new QLabel(this)),
      text1_(new QPlainTextEdit(this)) {
    setModal(true);
    setAutoFillBackground(true);
    QPalette sfondo = palette();
    sfondo.setColor(QPalette::Window, kVerde);
    setPalette(sfondo);

    label1_->setFont(Carattere("Corbel", 12, true));
    label1_->setAutoFillBackground(true);
    QPalette titolo = label1_->palette();
    titolo.setColor(QPalette::Window, Qt::white);
    titolo.setColor(QPalette::WindowText, kVerde);
    label1_->setPalette(titolo);
    label1_->setAlignment(Qt::AlignCenter);
    Posiziona(label1_, routines::kTitolo);

    text1_->setFont(Carattere("Corbel", 9.75));
    text1_->setReadOnly(true);
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setFrameShape(QFrame::NoFrame);
    QPalette testo = text1_->palette();
    testo.setColor(QPalette::Base, Qt::white);
    testo.setColor(QPalette::Text, kBlu);
    text1_->setPalette(testo);
    Posiziona(text1_, routines::kTesto);

    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        auto* tasto = new QPushButton(TestoQt(routines::kDidascalieDefinite[i]), this);
        tasto->setFont(Carattere("Corbel", 12));
        // No default button: Enter and Space press the button that has the focus.
        tasto->setAutoDefault(false);
        tasto->setDefault(false);
        Posiziona(tasto, routines::kTasti[i]);
        const int index = static_cast<int>(i);
        connect(tasto, &QPushButton::clicked, this, [this, index] { T_Click(index); });
        tasti_[i] = tasto;
    }
    setTabOrder(tasti_[0], tasti_[1]);
    setTabOrder(tasti_[1], tasti_[2]);
    setTabOrder(tasti_[2], text1_);
    label1_->setFocusPolicy(Qt::NoFocus);

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

void MsgBox_Form::Prepara(const QString& testo, std::int16_t tipoMsg, const QString& titolo) {
    testo1252_ = Testo1252(testo);
    QString mostrato = testo;
    mostrato.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    mostrato.replace(QChar('\r'), QChar('\n'));
    text1_->setPlainText(mostrato);
    label1_->setText(titolo);
    setWindowTitle(titolo);
    tipoMessaggio_ = tipoMsg;
    const routines::TastiMessaggio set = routines::TastiPerTipo(tipoMsg);
    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        tasti_[i]->setText(TestoQt(set.didascalie[i]));
        tasti_[i]->setVisible(set.visibili[i]);
    }
    // The layout must fit before the window is shown: a text too large fails here.
    (void)routines::CalcolaLayout(testo1252_, tipoMessaggio_);
}

void MsgBox_Form::Form_Activate() {
    const routines::LayoutMessaggio layout = routines::CalcolaLayout(testo1252_, tipoMessaggio_);
    resize(DimensioneTwips(layout.larghezza, layout.altezza));
    Posiziona(label1_, layout.titolo);
    Posiziona(text1_, layout.testo);
    for (std::size_t i = 0; i < tasti_.size(); ++i) {
        Posiziona(tasti_[i], layout.tasti[i]);
    }
    if (routines::TastiPerTipo(tipoMessaggio_).fuocoSulPrimo) {
        tasti_[0]->setFocus(Qt::OtherFocusReason);
    }
    update();
}

void MsgBox_Form::T_Click(int index) {
    const QString didascalia = tasti_.at(static_cast<std::size_t>(index))->text();
    if (const auto risposta = routines::RispostaTasto(index, Testo1252(didascalia))) {
        rispostaMessaggio_ = *risposta;
    }
    chiusaDaTasto_ = true;
    done(rispostaMessaggio_);
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
