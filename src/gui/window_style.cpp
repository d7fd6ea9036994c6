#include "gui/window_style.h"

#include <QWidget>

// Resources of a static library are registered by hand.
static void RegistraIcone() {
    Q_INIT_RESOURCE(icone);
}

namespace tableau::gui {

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
