#pragma once
// Fonts and colours of the program's windows, set the same way everywhere.
#include <QColor>
#include <QFont>
#include <QIcon>

class QWidget;

namespace tableau::gui {

// A font by family and size in points; a missing family falls back to the platform's
// substitute of similar metrics.
QFont Carattere(const char* famiglia, double punti, bool grassetto = false);

// Background (and, when valid, text) colour of a window or control.
void Colora(QWidget* widget, const QColor& sfondo, const QColor& testo = QColor());

// An icon of the program's resources (":/tableau/icons/<nome>.svg"), or the icon theme's
// icon of that name when the theme has one.
QIcon Icona(const char* nome, const char* nomeNelTema = nullptr);

}  // namespace tableau::gui
