#pragma once
// The message box's arithmetic, kept apart from its window: which buttons a message type
// shows, what each button answers, and the sizes the window takes from the message text.
// Lengths are in twips (1/1440 inch); the arithmetic is 16-bit, as the window's always was.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "routines/errors.h"

namespace tableau::routines {

// Message types: the buttons a message shows and whether the first takes the focus. Types
// with the same buttons keep codes of their own (a warning, a question); the window draws
// no icon for them. A code outside the table shows the three buttons as defined ("Ok",
// "Ok", "Annulla").
enum class TipoMessaggio : std::int16_t {
    ok = 0,                   // "Ok"
    okAvviso = 48,            // "Ok"
    siNo = 4,                 // "Si", "No"; the focus on "Si"
    siNoDomanda = 36,         // "Si", "No"; the focus on "Si"
    siNoAnnullaDomanda = 35,  // "Si", "No", "Annulla"; the focus on "Si"
    siNoAnnullaAvviso = 51,   // "Si", "No", "Annulla"; the focus on "Si"
    // "Si", "No", the focus left where it was: every code from the first to the last.
    siNoSenzaFuoco = 200,
    siNoSenzaFuocoUltimo = 400,
};

// The answer a message gets, by the button pressed; also the message box's result code.
enum class Risposta : std::int16_t { ok = 0, si = 6, no = 7, annulla = 2 };

// The three buttons, left to right. The first reads "Ok" or "Si", the second "No" (or "Ok"
// for a type outside the table), the third "Annulla"; arrays of buttons below are in this
// order.
enum class TastoMessaggio : std::size_t { conferma = 0, no = 1, annulla = 2 };

struct Riquadro {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Riquadro&, const Riquadro&) = default;
};

// The window and its controls as defined, before any message is placed in it.
inline constexpr int kLarghezzaFinestra = 4695;
inline constexpr int kAltezzaFinestra = 3135;
inline constexpr Riquadro kTitolo{0, 0, 4695, 375};
inline constexpr Riquadro kTesto{120, 480, 4455, 1695};
inline constexpr std::array<Riquadro, 3> kTasti{
    {{120, 2400, 975, 615}, {1200, 2400, 975, 615}, {2280, 2400, 975, 615}}};
inline constexpr std::array<std::string_view, 3> kDidascalieDefinite{"Ok", "Ok", "Annulla"};

// The button set of a message type.
struct TastiMessaggio {
    std::array<std::string, 3> didascalie;
    std::array<bool, 3> visibili{};
    bool fuocoSulPrimo = false;  // the focus goes to the first button on activation
};
TastiMessaggio TastiPerTipo(TipoMessaggio tipo);

// The answer of `tasto` bearing `didascalia`; empty when the press leaves the previous
// answer in place (the first button with a caption other than "Ok" or "Si").
std::optional<Risposta> RispostaTastoPremuto(TastoMessaggio tasto, std::string_view didascalia);

// Carriage returns of the text plus 2 (the first line and a spare row).
std::int16_t CalcolaRighe(std::string_view testo);
// One more than the larger of 50 and the longest run of characters without a carriage
// return (a line feed after a carriage return starts the next run and counts in it).
std::int16_t CalcolaColonne(std::string_view testo);

struct LayoutMessaggio {
    std::int16_t righe = 0;
    std::int16_t colonne = 0;
    int larghezza = 0;  // the window's client area
    int altezza = 0;
    Riquadro titolo;
    Riquadro testo;
    Riquadro cornice;
    std::array<Riquadro, 3> tasti{};
};

// The layout of a freshly loaded window showing `testo` (single-byte text, lines broken by
// carriage return and line feed) with the buttons of `tipo`. Throws ErroreOverflow.
LayoutMessaggio CalcolaLayout(std::string_view testo, TipoMessaggio tipo);

}  // namespace tableau::routines
