#pragma once
// The chart file's name: "FD" followed by the workstation number exactly as PCLocal holds
// it ("FD" when unset). Every writer and reader of the chart uses this one rule; readers
// find the file without regard to letter case. The same number names the spreadsheet file,
// the mail file and the dated copies, so a number that could lead out of the data directory
// is refused (routines::ErrorePostazione) before anything is read or written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "chart/errors.h"
#include "routines/workstation.h"

namespace tableau::chart {

// A chart of every room of a hotel is a few hundred kilobytes: a larger file is not a
// chart and is not read into memory.
inline constexpr std::uintmax_t kMassimoFileTableau = std::uintmax_t{64} << 20;

// "FD" + the workstation's number. Throws routines::ErrorePostazione.
std::string NomeFileTableau(const routines::Postazione& postazione);

// Where the chart file is written: the name in the file system's UTF-8.
std::filesystem::path PercorsoFileTableau(const routines::Postazione& postazione);

// The workstation's chart file in its data directory, found without regard to letter case;
// empty when there is none.
std::optional<std::filesystem::path> TrovaFileTableau(const routines::Postazione& postazione);

// A file of the workstation named after its number ("fd" + number + ".csv"): the prefix and
// the suffix around the number, the name in Windows-1252. Throws routines::ErrorePostazione.
std::string NomeFilePostazione(const routines::Postazione& postazione, std::string_view prima,
                               std::string_view dopo);

// The whole text of a chart file. Throws ErroreLetturaTableau, naming the file, when it cannot
// be read or holds more than kMassimoFileTableau bytes (checked before reading).
std::string LeggiTestoTableau(const std::filesystem::path& file);

}  // namespace tableau::chart
