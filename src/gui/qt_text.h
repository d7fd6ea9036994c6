#pragma once
// The core's texts are Windows-1252 bytes; the windows show and take QStrings.
#include <QString>
#include <string>
#include <string_view>

namespace tableau::gui {

QString TestoQt(std::string_view cp1252);
std::string Testo1252(const QString& testo);

}  // namespace tableau::gui
