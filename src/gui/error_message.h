#pragma once
// Failures of the core (a missing database, table or field, a file that cannot be written,
// a 16-bit overflow) shown to the user in the program's message box.
#include <QString>
#include <exception>
#include <functional>
#include <string_view>

namespace tableau::gui {

// The failure's message (UTF-8, as every routines::Errore's is) broken into lines that fit
// the message box.
QString TestoErrore(std::string_view messaggio);

// Shows the failure with the title "Errore" and a single "Ok" button; returns when the
// user has answered.
void MostraErrore(const std::exception& errore);
void MostraErrore(std::string_view messaggio);

// Runs the work of an event handler; a failure (a std::exception) is shown as above and
// goes no further.
void EseguiMostrandoErrori(const std::function<void()>& azione);

}  // namespace tableau::gui
