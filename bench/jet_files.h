#pragma once
// The benchmark's Jet files, written from the large hotel's SQLite files: the whole hotel
// rewritten as Jet 4 (the same chart, read the other way), and a guest table of a hotel's
// shape (fifteen columns, realistic texts) at three sizes, to time the reading of a Jet
// table against its rows.
#include <array>
#include <filesystem>

namespace tableau::bench {

inline constexpr std::array<int, 3> kRigheJet = {100'000, 200'000, 400'000};

// DIR/jet/hotel: the large hotel of DIR, every file as Jet 4 under the same name.
std::filesystem::path cartellaHotelJet(const std::filesystem::path& directory);

// DIR/jet/spread: the hotel of spread client codes (spread_hotel.h), as Jet 4.
std::filesystem::path cartellaSparsaJet(const std::filesystem::path& directory);

// DIR/jet/righe-N: "Scheda_Cliente.mdb" alone, its table of N guests.
std::filesystem::path cartellaRigheJet(const std::filesystem::path& directory, int righe);

// Writes them into DIR/jet (the spread hotel when DIR has it), replacing what is there only once
// everything is written. Throws std::runtime_error when the large hotel is missing from DIR.
void scriviArchiviJet(const std::filesystem::path& directory);

}  // namespace tableau::bench
