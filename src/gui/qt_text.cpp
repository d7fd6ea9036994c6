#include "gui/qt_text.h"

#include "routines/codepage.h"

namespace tableau::gui {

QString TestoQt(std::string_view cp1252) {
    const std::string utf8 = routines::InUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Testo1252(const QString& testo) {
    const QByteArray utf8 = testo.toUtf8();
    return routines::InCp1252(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace tableau::gui
