#pragma once
// Windows inside the screen: on a small screen, or one scaled up, a window drawn for a
// larger one would leave some of its controls where nobody can reach them.
#include <QRect>

class QWidget;

namespace tableau::gui {

// The frame to give a window that wants the frame `cornice` on a screen whose free area
// (the screen less its panels) is `area`: no larger than the area in either direction,
// moved the least that brings it inside.
QRect RettangoloNelloSchermo(const QRect& cornice, const QRect& area);

// Brings a top-level window inside the free area of its screen: a window that can be
// resized is shrunk to fit, and a window placed by the program is moved inside. A window
// never placed is left to the window manager, which places it inside the free area.
void PortaNelloSchermo(QWidget* finestra);

}  // namespace tableau::gui
