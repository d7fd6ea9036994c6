#pragma once
// The message box's arithmetic, kept apart from its window: which buttons a message type
// shows, what each button answers, and the sizes the window takes from the message text.
// Lengths are in twips (1/1440 inch); the arithmetic is 16-bit, as the window's always was.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "routines/errors.h"

namespace tableau::routines {

// Answer codes of the buttons.
inline constexpr std::int16_t kRispostaOk = 0;
inline constexpr std::int16_t kRispostaSi = 6;
inline constexpr std::int16_t kRispostaNo = 7;
inline constexpr std::int16_t kRispostaAnnulla = 2;

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
TastiMessaggio TastiPerTipo(std::int16_t tipo);

// The answer of button `indice` (0..2) bearing `didascalia`; empty when the press leaves
// the previous answer in place (the first button with a caption other than "Ok" or "Si").
std::optional<std::int16_t> RispostaTasto(int indice, std::string_view didascalia);

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
LayoutMessaggio CalcolaLayout(std::string_view testo, std::int16_t tipo);

}  // namespace tableau::routines
