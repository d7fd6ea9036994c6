#pragma once
// MostraMessaggio: shows a message in the program's message box and returns the answer.
#include <QString>
#include <optional>

#include "routines/message_layout.h"

namespace tableau::gui {

// The message box's types and answers (routines/message_layout.h).
using routines::Risposta;
using routines::TipoMessaggio;

// The type chooses the buttons: "Ok" (answers Risposta::ok); "Si", "No" (Risposta::si,
// Risposta::no); "Si", "No", "Annulla" (... Risposta::annulla). Lines are broken by carriage
// return and line feed. Throws routines::ErroreOverflow when the text does not fit the
// window's 16-bit layout.
Risposta MostraMessaggio(const QString& testo, TipoMessaggio tipo, const QString& titolo);

// Test hooks. The next message is laid out and answered at once with the button that gives
// `risposta` ("Ok" or "Si" the first button, "No" the second, "Annulla" the third) instead of
// waiting for a click; the hook is used once.
void ImpostaProssimaRisposta(Risposta risposta);
// Every message from now on is answered at once this way, until cleared with nullopt.
void ImpostaRispostaAutomatica(std::optional<Risposta> risposta);
void AnnullaProssimaRisposta();

// The last message shown, with its answer; for tests.
struct MessaggioMostrato {
    QString testo;
    QString titolo;
    TipoMessaggio tipo = TipoMessaggio::ok;
    Risposta risposta = Risposta::ok;
};
std::optional<MessaggioMostrato> UltimoMessaggio();
int MessaggiMostrati();  // how many messages have been shown so far
void DimenticaMessaggi();

}  // namespace tableau::gui
