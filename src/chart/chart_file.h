#pragma once
// The chart file's name: "FD" followed by the workstation number exactly as PCLocal holds
// it ("FD" when unset). Every writer and reader of the chart uses this one rule; readers
// find the file without regard to letter case.
#include <filesystem>
#include <optional>
#include <string>

namespace tableau::chart {

// The workstation number: the text of PCLocal, empty when unset.
std::string NumeroPostazione();

// "FD" + NumeroPostazione().
std::string NomeFileTableau();

// Where the chart file is written: the name in the file system's UTF-8.
std::filesystem::path PercorsoFileTableau(const std::filesystem::path& cartellaDati);

// The chart file of the directory, found without regard to letter case; empty when there
// is none.
std::optional<std::filesystem::path> TrovaFileTableau(const std::filesystem::path& cartellaDati);

}  // namespace tableau::chart
