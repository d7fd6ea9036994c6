#pragma once
// The lines of the chart file, each exactly 132 characters (Windows-1252 bytes, line end
// not included). Contents wider than their place are cut to it, so every line keeps its
// width and its vertical lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "routines/clock.h"

namespace tableau::chart {

inline constexpr std::size_t kLarghezzaRiga = 132;
inline constexpr std::size_t kGiorniTableau = 7;
inline constexpr std::size_t kLarghezzaCella = 17;

// The line-drawing bytes of the chart.
inline constexpr char kLineaOrizzontale = '\xC4';
inline constexpr char kLineaVerticale = '\xB3';
inline constexpr char kDiramazioneGiu = '\xC2';
inline constexpr char kAngoloAltoDestro = '\xBF';
inline constexpr char kCroce = '\xC5';
inline constexpr char kDiramazioneSinistra = '\xB4';
inline constexpr char kDiramazioneSu = '\xC1';
inline constexpr char kAngoloBassoDestro = '\xD9';

// Index (from 0) of the first character of day k's cell (k = 0..6).
constexpr std::size_t InizioCella(std::size_t giorno) {
    return 6 + 18 * giorno;
}

std::string RigaBordoSuperiore();
std::string RigaCornice();  // blank frame
std::string RigaSeparatore();
std::string RigaBordoInferiore();

// The title line. The hotel's name is given when the hotel was found; the tableau's
// description (untrimmed, as stored) only when the tableau was found too.
std::string RigaTitolo(const std::optional<std::string>& nomeHotel,
                       const std::optional<std::string>& descrizioneTableau,
                       std::string_view dataInizio, const routines::DataOra& generazione);

// The day-name line and the date line: one text per day, left-aligned after a blank.
std::string RigaIntestazioneGiorni(const std::array<std::string, kGiorniTableau>& testi);

// What one room shows on one day, already decided (rule G).
struct CellaGiorno {
    std::int16_t conteggio = 0;
    std::string stato;
    std::string nome;
    std::string ditta;
    std::string codice;
    std::string nota;  // shown over the code from the cell's 7th character when not empty
};

// The room column of a room: number and type as stored, beds as decimal text (empty when
// unknown).
struct ColonnaCamera {
    std::string numero;
    std::string tipo;
    std::string posti;
};

// The four lines of a room, separator line not included.
std::array<std::string, 4> RigheCamera(const ColonnaCamera& camera,
                                       const std::array<CellaGiorno, kGiorniTableau>& giorni);

// The weekly totals of the three arrangement classes.
struct TotaliSettimana {
    std::array<std::int16_t, kGiorniTableau> TotaleCC{};
    std::array<std::int16_t, kGiorniTableau> TotaleMP{};
    std::array<std::int16_t, kGiorniTableau> TotalePC{};
};

// The three total lines "CC = ", "MP = ", "PC = ".
std::array<std::string, 3> RigheTotali(const TotaliSettimana& totali);

}  // namespace tableau::chart
