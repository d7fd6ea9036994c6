#pragma once
// Text routines over Windows-1252 bytes (one byte, one character).
#include <cstdint>
#include <string>
#include <string_view>

namespace tableau::routines {

// Leading and trailing spaces removed (spaces only, as the suite trims).
std::string TogliSpazi(std::string_view testo);

// The first n characters (all of them when shorter).
std::string Sinistra(std::string_view testo, std::size_t n);

// Names compared as the suite's systems compare them: equal ignoring ASCII letter case
// (file names, table and field names, environment variable names).
bool StessoNome(std::string_view a, std::string_view b);

// Upper case in Windows-1252, accented letters included ("à" -> "À").
char Maiuscola(char c);

// Cleans a typed text. Mode 0: upper case without apostrophes, " " when nothing is left.
// Mode 1: only digits, commas and minus signs, "0" when nothing is left. Other modes: "0".
std::string FiltraCaratteri(std::string_view testo, int modo);

// The part of a text between its first two asterisks; empty without a second asterisk.
std::string TestoTraAsterischi(std::string_view valore);

// A whole number with the thousands marked by points, as Italians write it ("1.234").
std::string ConPuntiMigliaia(std::int64_t n);

// Replaces the line-drawing bytes of the chart by "|" and "-" in place; returns the text.
std::string& SostituisciBordi(std::string& testo);

}  // namespace tableau::routines
