#pragma once
// A large hotel for the benchmark: one block of 1,000 rooms, a million guest rows and a
// million booking rows spread over five years, no indexes.
#include <filesystem>

#include "routines/dates.h"

namespace tableau::bench {

inline constexpr int kCamere = 1000;
inline constexpr int kRigheOspiti = 1'000'000;
inline constexpr int kRighePrenotazioni = 1'000'000;
inline constexpr routines::Data kPrimoGiorno{1, 1, 2022};  // five years from here

// Room numbers are four digits, "0001" to "1000", so that text ranges select them.
std::string numeroCamera(int i);

void scriviHotelGrande(const std::filesystem::path& cartellaDati);

}  // namespace tableau::bench
