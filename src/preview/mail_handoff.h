#pragma once
// The hand-off of a page to the mail program: a text file for the workstation, then the
// mailer "Plicore.exe" started without waiting for it.
#include <filesystem>
#include <string>
#include <string_view>

#include "routines/workstation.h"

namespace tableau::preview {

inline constexpr const char* kProgrammaPosta = "Plicore.exe";

// "e-mail" + the workstation number + ".txt".
std::string NomeFileEMail(const routines::Postazione& postazione);

// Writes the hand-off file in the data directory: the line "OGGETTO", the text (Windows-1252;
// its line ends, whatever they are, written as carriage return and line feed) and one more
// line end. Then starts kProgrammaPosta, found through the search path, in the data
// directory, without waiting for it. Returns the hand-off file's path. Throws
// routines::Errore (Italian message) when the file cannot be written or the mailer
// cannot be started; in the latter case the file stays.
std::filesystem::path InviaEMail(const routines::Postazione& postazione, std::string_view testo);

}  // namespace tableau::preview
