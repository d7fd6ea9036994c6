#include "app/qt_application.h"

#include <QCoreApplication>
#include <cstdlib>

namespace tableau::app {

ApplicazioneQt::~ApplicazioneQt() = default;

void ApplicazioneQt::prepara() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    // A headless command draws no window: it never needs a display server, and a stale
    // DISPLAY (cron, a dropped ssh -X) or QT_QPA_PLATFORM=xcb must not end it.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

}  // namespace tableau::app
