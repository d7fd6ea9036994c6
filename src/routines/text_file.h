#pragma once
// Reading the program's text files (the chart, the configuration files) line by line.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::routines {

// The lines of a text without their line ends (carriage return and line feed, or either
// alone); a last line without a line end counts, a final line end opens no extra line.
std::vector<std::string> RigheDelTesto(std::string_view testo);

// The whole file; throws routines::ErroreFile (Italian message) when it cannot be read.
std::string LeggiFile(const std::filesystem::path& file);

}  // namespace tableau::routines
