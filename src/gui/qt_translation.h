#pragma once
// Qt's own texts (the text boxes' context menu, the standard dialogs' buttons) in Italian,
// as the program's own texts are.

namespace tableau::gui {

// Installs Qt's Italian translation in the running application, from the folder of Qt's
// translations. False when the translation is not installed: Qt's texts stay in English.
// Call it once, after the application object is made; the application owns the translator.
bool CaricaTraduzioneQt();

}  // namespace tableau::gui
