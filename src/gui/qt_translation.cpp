#include "gui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace tableau::gui {

bool CaricaTraduzioneQt() {
    QCoreApplication* applicazione = QCoreApplication::instance();
    if (applicazione == nullptr) {
        return false;
    }
    auto traduttore = std::make_unique<QTranslator>();
    if (!traduttore->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(traduttore.get())) {
        return false;
    }
    // Installed: the application keeps it for the rest of the run.
    traduttore.release()->setParent(applicazione);
    return true;
}

}  // namespace tableau::gui
