#pragma once
// The page-printer path of the print job.
#include <filesystem>
#include <string>
#include <vector>

#include "print/print_settings.h"
#include "print/printer.h"

namespace tableau::print {

// Makes the printer named Uscita current: the first installed printer of exactly that
// device name; otherwise, when Uscita ends in ".pdf", that PDF file (relative paths in the
// data directory) for this document; otherwise the current printer stays. Returns where
// the pages will go, for the user (UTF-8).
std::string ScegliStampanteUscita(const std::filesystem::path& cartellaDati,
                                  const ImpostazioniStampa& imp, ServizioStampanti& stampanti);

// Prints the chart lines as one document on the current printer.
void StampaSuPagine(const std::vector<std::string>& righe, const ImpostazioniStampa& imp,
                    const OpzioniStampa& opzioni, ServizioStampanti& stampante);

}  // namespace tableau::print
