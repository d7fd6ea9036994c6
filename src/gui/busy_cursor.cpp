#include "gui/busy_cursor.h"

#include <QApplication>
#include <QWidget>

namespace tableau::gui {

Occupato::Occupato(QWidget* finestra)
    : finestra_(finestra), fuoco_(finestra != nullptr ? finestra->focusWidget() : nullptr) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (finestra_ != nullptr) {
        finestra_->setEnabled(false);
    }
}

Occupato::~Occupato() {
    // Clicks and keys queued while the window was disabled reach it now, and are ignored.
    QApplication::processEvents();
    if (finestra_ != nullptr) {
        finestra_->setEnabled(true);
        if (fuoco_ != nullptr && fuoco_->isVisible()) {
            fuoco_->setFocus(Qt::OtherFocusReason);
        }
    }
    QApplication::restoreOverrideCursor();
}

}  // namespace tableau::gui
