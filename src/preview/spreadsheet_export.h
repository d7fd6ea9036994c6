#pragma once
// The delimited-text export of the chart for a spreadsheet program: border characters
// become field separators, rules become blanks, Italian numbers get the configured decimal
// separator and currency sign. Texts are Windows-1252.
#include <filesystem>
#include <string>
#include <string_view>

namespace tableau::preview {

// The three settings of "SeparatoreXLS.txt" (its first three lines), with their defaults.
struct SeparatoriXLS {
    std::string separatoreCampi = ",";
    std::string separatoreDecimali = ".";
    std::string simboloValuta = "\x80";  // the euro sign; only its first character is used
};

// Reads "SeparatoreXLS.txt" of the directory (name without regard to letter case); a
// missing file or missing lines give the defaults.
SeparatoriXLS LeggiSeparatoriXLS(const std::filesystem::path& cartellaDati);

// One chart line converted (without line end).
std::string ConvertiRigaXLS(std::string_view riga, const SeparatoriXLS& separatori);

// "fd" + the workstation number + ".csv".
std::string NomeFileXLS();

// Converts the chart file fileTableau (relative paths are taken in the data directory)
// into NomeFileXLS() in the data directory, written whole or not at all; returns its path.
// Throws std::runtime_error (Italian message) when the chart file cannot be read or the
// output cannot be written.
std::filesystem::path ConvertiXLS(const std::filesystem::path& cartellaDati,
                                  const std::filesystem::path& fileTableau);

// The same for the directory's chart file, found by its usual name (chart::TrovaFileTableau).
std::filesystem::path ConvertiXLS(const std::filesystem::path& cartellaDati);

}  // namespace tableau::preview
