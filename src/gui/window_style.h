#pragma once
// Fonts and colours of the program's windows, set the same way everywhere.
#include <QColor>
#include <QFont>
#include <QIcon>

class QComboBox;
class QWidget;

namespace tableau::gui {

// Colours that every window shares. Each text colour reads on its background at a contrast
// of at least 4.5:1, the least that WCAG asks of normal text.
//
// The lists (hotel, room block, destination, printer): dark text on peach, and the entry
// highlighted in the list and in its popup in white on dark brown.
inline const QColor kSfondoElenchi{255, 224, 192};
inline const QColor kTestoElenchi{0, 0, 0};
inline const QColor kSelezioneElenchi{128, 64, 0};
inline const QColor kTestoSelezione{255, 255, 255};
// The print menu's labels and check boxes: dark text on its blue.
inline const QColor kSfondoMenuStampa{128, 128, 255};
inline const QColor kTestoMenuStampa{0, 0, 0};
// The least contrast of a text on its background.
inline constexpr double kContrastoMinimo = 4.5;

// The contrast ratio of two colours by WCAG 2 (their relative luminances, each plus 0.05,
// the lighter over the darker): from 1 (the same) to 21 (black and white). Alpha is ignored.
double RapportoContrasto(const QColor& primo, const QColor& secondo);

// A font by family and size in points; a missing family falls back to the platform's
// substitute of similar metrics.
QFont Carattere(const char* famiglia, double punti, bool grassetto = false);

// Background (and, when valid, text) colour of a window or control.
void Colora(QWidget* widget, const QColor& sfondo, const QColor& testo = QColor());

// A list in the lists' colours, the same in its popup.
void ColoraElenco(QComboBox* elenco);

// An icon of the program's resources (":/tableau/icons/<nome>.svg"), or the icon theme's
// icon of that name when the theme has one.
QIcon Icona(const char* nome, const char* nomeNelTema = nullptr);

}  // namespace tableau::gui
