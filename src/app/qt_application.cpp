#include "app/qt_application.h"

#include <QCoreApplication>
#include <cstdlib>

namespace tableau::app {

ApplicazioneQt::~ApplicazioneQt() = default;

void ApplicazioneQt::prepara() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

}  // namespace tableau::app
