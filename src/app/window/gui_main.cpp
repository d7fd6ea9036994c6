#include "app/window/gui_main.h"

#include <QApplication>

namespace tableau::gui {

int avvia(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}

}  // namespace tableau::gui
