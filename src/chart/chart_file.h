#pragma once
// The chart file's name: "FD" followed by the workstation number exactly as PCLocal holds
// it ("FD" when unset). Every writer and reader of the chart uses this one rule; readers
// find the file without regard to letter case. The same number names the spreadsheet file,
// the mail file and the dated copies, so a number that could lead out of the data directory
// is refused here, before anything is read or written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "routines/errors.h"

namespace tableau::chart {

// PCLocal holds what cannot be part of a file name: a path separator, "..", a NUL or a
// control character. Nothing has been read or written.
class ErrorePostazione : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

// The chart file cannot be read: missing, unreadable, or far larger than any chart.
class ErroreLetturaTableau : public routines::Errore {
  public:
    using routines::Errore::Errore;
};

// A chart of every room of a hotel is a few hundred kilobytes: a larger file is not a
// chart and is not read into memory.
inline constexpr std::uintmax_t kMassimoFileTableau = std::uintmax_t{64} << 20;

// The workstation number: the text of PCLocal, empty when unset. Throws ErrorePostazione
// when the text cannot be part of a file name.
std::string NumeroPostazione();

// "FD" + NumeroPostazione().
std::string NomeFileTableau();

// Where the chart file is written: the name in the file system's UTF-8.
std::filesystem::path PercorsoFileTableau(const std::filesystem::path& cartellaDati);

// The chart file of the directory, found without regard to letter case; empty when there
// is none.
std::optional<std::filesystem::path> TrovaFileTableau(const std::filesystem::path& cartellaDati);

// The whole text of a chart file. Throws ErroreLetturaTableau, naming the file, when it cannot
// be read or holds more than kMassimoFileTableau bytes (checked before reading).
std::string LeggiTestoTableau(const std::filesystem::path& file);

}  // namespace tableau::chart
