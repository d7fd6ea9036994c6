#pragma once
// A large hotel whose client codes follow no order: returning guests keep their old code,
// heads of group were registered years before, history was imported. The week's guests
// then carry codes from the whole range, and the arrangement and company rows they need
// lie anywhere in those tables. Same block of kCamere rooms, no indexes.
#include <filesystem>

#include "routines/dates.h"

namespace tableau::bench {

// Guest rows, client codes, arrangement rows, company rows, booked rooms and booking
// headers alike.
inline constexpr int kRigheSparse = 500'000;

// A week every size of the hotel covers (half the rows still reach past it).
inline constexpr routines::Data kSettimanaSparsa{15, 1, 2023};

// DIR/spread: the hotel of kRigheSparse rows; DIR/spread-half: the same hotel with half the
// history; DIR/spread-indexed: a copy of DIR/spread with indexes on the columns the week's
// lookups search (client and booking codes, and the guests' arrival date).
std::filesystem::path cartellaSparsa(const std::filesystem::path& directory);
std::filesystem::path cartellaSparsaMeta(const std::filesystem::path& directory);
std::filesystem::path cartellaSparsaIndici(const std::filesystem::path& directory);

// Writes the three, replacing what is there.
void scriviHotelSparsi(const std::filesystem::path& directory);

}  // namespace tableau::bench
