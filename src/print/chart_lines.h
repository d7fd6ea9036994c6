#pragma once
// The lines of the chart file as the print job reads them.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tableau::print {

// The chart file of the directory (found by its usual name), read line by line. Throws
// ErroreStampa naming the file when it is missing or cannot be read.
std::vector<std::string> LeggiRigheTableau(const std::filesystem::path& cartellaDati);

}  // namespace tableau::print
