#pragma once
// MostraMessaggio: shows a message in the program's message box and returns the answer.
#include <QString>
#include <cstdint>
#include <optional>

namespace tableau::gui {

// Type codes: 0 or 48 "Ok"; 4 or 36 "Si", "No" (focus on "Si"); 35 or 51 "Si", "No",
// "Annulla"; 200 to 400 "Si", "No". Answers: "Ok" 0, "Si" 6, "No" 7, "Annulla" 2.
// Lines are broken by carriage return and line feed. Throws routines::ErroreOverflow when
// the text does not fit the window's 16-bit layout.
std::int16_t MostraMessaggio(const QString& testo, std::int16_t tipoMsg, const QString& titolo);

// Test hooks. The next message is laid out and answered at once with the button that gives
// `risposta` (0 or 6 the first button, 7 the second, 2 the third) instead of waiting for a
// click; the hook is used once.
void ImpostaProssimaRisposta(std::int16_t risposta);
// Every message from now on is answered at once this way, until cleared with nullopt.
void ImpostaRispostaAutomatica(std::optional<std::int16_t> risposta);
void AnnullaProssimaRisposta();

// The last message shown, with its answer; for tests.
struct MessaggioMostrato {
    QString testo;
    QString titolo;
    std::int16_t tipo = 0;
    std::int16_t risposta = 0;
};
std::optional<MessaggioMostrato> UltimoMessaggio();
int MessaggiMostrati();  // how many messages have been shown so far
void DimenticaMessaggi();

}  // namespace tableau::gui
