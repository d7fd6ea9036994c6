#pragma once
#include <string_view>

namespace tableau::routines {

// The number a text begins with, as the suite reads numbers out of texts: an optional
// sign, digits, an optional decimal point and digits, an optional exponent (E or D).
// Spaces, tabs and line feeds anywhere are skipped; reading stops at the first
// character that cannot continue the number; no number at the start gives 0.
// "05" -> 5, " 5" -> 5, "5/" -> 5, "x5" -> 0.
double ValoreNumerico(std::string_view testo);

// True when the whole text (blanks aside) is one number, so that ValoreNumerico
// reads all of it; "12" and " 1.5 " are, "12a" and "" are not.
bool TestoNumerico(std::string_view testo);

}  // namespace tableau::routines
