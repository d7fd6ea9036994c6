#pragma once
// The workstation of a test: its data directory and the number the test set in PCLocal, as
// the program's start-up makes it from the environment.
#include <cstdlib>
#include <filesystem>

#include "routines/codepage.h"
#include "routines/workstation.h"

namespace tableau::test {

inline routines::Postazione PostazioneDi(const std::filesystem::path& cartellaDati) {
    const char* numero = std::getenv("PCLocal");
    return routines::Postazione(cartellaDati, numero != nullptr ? routines::InCp1252(numero) : "");
}

}  // namespace tableau::test
