#include "gui/window_style.h"

#include <QComboBox>
#include <QWidget>
#include <algorithm>
#include <cmath>

// Resources of a static library are registered by hand.
static void RegistraIcone() {
    Q_INIT_RESOURCE(icons);
}

namespace tableau::gui {
namespace {

// WCAG 2's relative luminance: the sRGB channels made linear, weighted by the eye's response.
double Luminanza(const QColor& colore) {
    const auto lineare = [](double canale) {
        return canale <= 0.04045 ? canale / 12.92 : std::pow((canale + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colore.toRgb();
    return 0.2126 * lineare(rgb.redF()) + 0.7152 * lineare(rgb.greenF()) +
           0.0722 * lineare(rgb.blueF());
}

QString Rgb(const QColor& colore) {
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(colore.red())
        .arg(colore.green())
        .arg(colore.blue());
}

}  // namespace

double RapportoContrasto(const QColor& primo, const QColor& secondo) {
    const double a = Luminanza(primo);
    const double b = Luminanza(secondo);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QIcon Icona(const char* nome, const char* nomeNelTema) {
    static const bool registrate = [] {
        RegistraIcone();
        return true;
    }();
    (void)registrate;
    const QIcon propria(QStringLiteral(":/tableau/icons/%1.svg").arg(QString::fromLatin1(nome)));
    if (nomeNelTema == nullptr) {
        return propria;
    }
    return QIcon::fromTheme(QString::fromLatin1(nomeNelTema), propria);
}

QFont Carattere(const char* famiglia, double punti, bool grassetto) {
    const QString nome = QString::fromLatin1(famiglia);
    QFont font(nome);
    // Where the family is missing, a free one of close metrics (a narrow one for Corbel, so
    // that captions fit the controls sized for it).
    if (nome == QLatin1String("Corbel")) {
        font.setFamilies(
            {nome, QStringLiteral("Carlito"), QStringLiteral("Liberation Sans Narrow")});
    } else if (nome == QLatin1String("Arial")) {
        font.setFamilies({nome, QStringLiteral("Liberation Sans")});
    } else if (nome == QLatin1String("Courier New")) {
        font.setFamilies({nome, QStringLiteral("Liberation Mono")});
    }
    font.setStyleHint(nome == QLatin1String("Courier New") ? QFont::TypeWriter : QFont::SansSerif);
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
}

void ColoraElenco(QComboBox* elenco) {
    // The popup is a child of the list: the same sheet colours its entries.
    const QString colori = QStringLiteral(
                               "background-color: %1; color: %2; selection-background-color: %3; "
                               "selection-color: %4;")
                               .arg(Rgb(kSfondoElenchi), Rgb(kTestoElenchi), Rgb(kSelezioneElenchi),
                                    Rgb(kTestoSelezione));
    elenco->setStyleSheet(
        QStringLiteral("QComboBox { %1 } QComboBox QAbstractItemView { %1 }").arg(colori));
}

void Colora(QWidget* widget, const QColor& sfondo, const QColor& testo) {
    QPalette tavolozza = widget->palette();
    for (const auto ruolo : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        tavolozza.setColor(ruolo, sfondo);
    }
    if (testo.isValid()) {
        for (const auto ruolo : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            tavolozza.setColor(ruolo, testo);
        }
    }
    widget->setPalette(tavolozza);
    widget->setAutoFillBackground(true);
}

}  // namespace tableau::gui
