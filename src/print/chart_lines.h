#pragma once
// The lines of the chart file as the print job reads them.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "routines/workstation.h"

namespace tableau::print {

// The workstation's chart file (found by its usual name), read line by line. Throws
// ErroreStampa naming the file when it is missing or cannot be read.
std::vector<std::string> LeggiRigheTableau(const routines::Postazione& postazione);

}  // namespace tableau::print
