#pragma once
// The lines of the chart file as the print job reads them.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::print {

// The lines of a text without their line ends (carriage return and line feed, or either
// alone); a last line without a line end counts, a final line end opens no extra line.
std::vector<std::string> DividiRighe(std::string_view testo);

// The chart file of the directory (found by its usual name), read line by line. Throws
// ErroreStampa naming the file when it is missing or cannot be read.
std::vector<std::string> LeggiRigheTableau(const std::filesystem::path& cartellaDati);

}  // namespace tableau::print
