#pragma once
// What reading a hotel's Jet files costs with Debian's own tool: "mdb-export" of every
// table the chart reads, its output thrown away.
#include <filesystem>

namespace tableau::bench {

// Throws std::runtime_error when mdb-export is missing or fails on a table.
void EsportaTabelleDelTableau(const std::filesystem::path& cartellaJet);

}  // namespace tableau::bench
