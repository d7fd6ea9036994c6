#pragma once
// Opening a file with the program the desktop associates with its kind.
#include <filesystem>

namespace tableau::gui {

// Opens the file with its associated program, without waiting for it. False when the
// desktop names no program for files of its kind (asked with xdg-mime where it is
// installed) or the opener cannot be started.
bool ApriConProgramma(const std::filesystem::path& file);

}  // namespace tableau::gui
