#include "gui/keyboard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace tableau::gui {
namespace {

bool TastoInvio(const QKeyEvent* tasto) {
    const auto modificatori = tasto->modifiers() & ~Qt::KeypadModifier;
    return (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) &&
           modificatori == Qt::NoModifier;
}

// On a button: Enter presses it. The click runs on the key press, as Space's runs on its
// release, so a window the button opens never receives the Enter.
class InvioSulTasto : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress && evento->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto* tasto = static_cast<const QKeyEvent*>(evento);
        if (!TastoInvio(tasto)) {
            return false;
        }
        auto* bottone = static_cast<QAbstractButton*>(oggetto);
        if (evento->type() == QEvent::KeyPress && !tasto->isAutoRepeat() && bottone->isEnabled()) {
            bottone->click();
        }
        return true;
    }
};

// On the window: Escape is taken and does nothing.
class EscapeFermo : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() == QEvent::KeyPress) {
            const auto* tasto = static_cast<const QKeyEvent*>(evento);
            return tasto->key() == Qt::Key_Escape;
        }
        return false;
    }
};

}  // namespace

void RegoleTastiera(QWidget* finestra) {
    auto* invio = new InvioSulTasto(finestra);
    // Command and picture buttons; a check box keeps Space alone.
    for (QAbstractButton* bottone : finestra->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(bottone) != nullptr ||
            qobject_cast<QToolButton*>(bottone) != nullptr) {
            bottone->installEventFilter(invio);
        }
    }
    finestra->installEventFilter(new EscapeFermo(finestra));
}

}  // namespace tableau::gui
