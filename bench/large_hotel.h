#pragma once
// A large hotel for the benchmark: one block of 1,000 rooms, a million guest rows and a
// million booking rows spread over five years, no indexes.
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "routines/dates.h"

namespace tableau::bench {

inline constexpr int kCamere = 1000;
inline constexpr int kRigheOspiti = 1'000'000;
inline constexpr int kRighePrenotazioni = 1'000'000;
inline constexpr routines::Data kPrimoGiorno{1, 1, 2022};  // five years from here
inline constexpr int kGiorniStoria = 1826;

struct Soggiorno {
    int camera;
    int arrivo;  // days from kPrimoGiorno
    int notti;
    int persone;
};

// Stays room by room, one after the other with gaps, until `righe` rows (one per person
// for guests, one per stay for bookings) are reached; returned in arrival order, as a
// hotel's files fill up day by day. A room's arrivals past `giorniStoria` days start again
// from the first day.
std::vector<Soggiorno> soggiorni(std::mt19937& random, int righe, bool unaRigaPerSoggiorno,
                                 int giorniStoria);

class ScrittoriHotel;

// One booked room and its booking header per stay, numbered from 1, in the stays' order.
void scriviPrenotazioni(ScrittoriHotel& writer, const std::vector<Soggiorno>& stays);

// Room numbers are four digits, "0001" to "1000", so that text ranges select them.
std::string numeroCamera(int i);

// The large hotel; with `volte` its history as many times as long, rows and days alike.
void scriviHotelGrande(const std::filesystem::path& cartellaDati, int volte = 1);

// Where "build-double" writes the large hotel of twice the history.
inline std::filesystem::path cartellaStoriaDoppia(const std::filesystem::path& directory) {
    return directory / "double";
}

}  // namespace tableau::bench
