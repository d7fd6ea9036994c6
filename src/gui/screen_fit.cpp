#include "gui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace tableau::gui {
namespace {

// One coordinate: the start of a length `lunghezza` brought inside [inizio, inizio + spazio).
int DentroIntervallo(int posizione, int lunghezza, int inizio, int spazio) {
    return std::clamp(posizione, inizio, inizio + spazio - lunghezza);
}

// The frame around the window's inside. Before the window manager has framed the window
// for the first time its frame is unknown: a decorated window is given a title bar then.
QMargins MarginiCornice(const QWidget* finestra) {
    const QRect cornice = finestra->frameGeometry();
    const QRect interno = finestra->geometry();
    if (cornice != interno || finestra->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return {interno.left() - cornice.left(), interno.top() - cornice.top(),
                cornice.right() - interno.right(), cornice.bottom() - interno.bottom()};
    }
    return {0, finestra->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, finestra), 0, 0};
}

}  // namespace

QRect RettangoloNelloSchermo(const QRect& cornice, const QRect& area) {
    const int larghezza = std::min(cornice.width(), area.width());
    const int altezza = std::min(cornice.height(), area.height());
    return {DentroIntervallo(cornice.left(), larghezza, area.left(), area.width()),
            DentroIntervallo(cornice.top(), altezza, area.top(), area.height()), larghezza,
            altezza};
}

void PortaNelloSchermo(QWidget* finestra) {
    const QScreen* schermo = finestra->screen();
    if (schermo == nullptr) {
        schermo = QGuiApplication::primaryScreen();
    }
    if (schermo == nullptr) {
        return;
    }
    const QMargins margini = MarginiCornice(finestra);
    const QRect cornice = finestra->geometry().marginsAdded(margini);
    const QRect posto = RettangoloNelloSchermo(cornice, schermo->availableGeometry());
    const bool riducibile = finestra->minimumSize() != finestra->maximumSize();
    if (riducibile && posto.size() != cornice.size()) {
        const QSize interno = posto.marginsRemoved(margini).size();
        finestra->resize(interno.expandedTo(finestra->minimumSize()));
    }
    const bool piazzata = finestra->testAttribute(Qt::WA_Moved);
    if (piazzata && posto.topLeft() != cornice.topLeft()) {
        finestra->move(posto.topLeft());
    }
}

}  // namespace tableau::gui
