#pragma once
// The dated document copy of the chart that the print menu keeps in the "doc" directory of
// the data directory. No Qt here.
#include <filesystem>

#include "routines/clock.h"
#include "routines/workstation.h"

namespace tableau::print {

// "doc/fd" + the workstation number + yyyymmddHHMM + ".doc", relative to the data
// directory; from the second copy of the same minute on, "_2", "_3"... before ".doc".
std::filesystem::path NomeCopiaDocumento(const routines::Postazione& postazione,
                                         const routines::DataOra& momento, int progressivo = 1);

// Copies the chart file of the data directory to the first free name of the moment, creating
// "doc" when missing; a copy already there is never replaced. Returns the copy's path
// relative to the data directory; when there is no chart file nothing is copied and the
// name the copy would have had is returned. Throws ErroreStampa when the copy fails.
std::filesystem::path CopiaDocumento(const routines::Postazione& postazione,
                                     const routines::Orologio& orologio);

}  // namespace tableau::print
