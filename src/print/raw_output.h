#pragma once
// The raw output: the chart text with printer control characters in front, paged by line
// count, written to a file, a device or a printer queue.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "print/print_settings.h"

namespace tableau::print {

// Where the raw bytes go. chiudi() completes the output (a file replaces its previous
// content, a queue receives its job); an output destroyed without chiudi() leaves no
// partial file and submits no job where that is possible.
class UscitaGrezza {
  public:
    virtual ~UscitaGrezza() = default;
    virtual void scrivi(std::string_view byte) = 0;
    virtual void chiudi() = 0;
    // Where the bytes went, for the user (UTF-8): "Scritto nel file ...", ...
    virtual std::string destinazione() const = 0;
};

// Opens Uscita: an existing device or pipe is written directly, the name of a printer
// queue receives a raw job, anything else is a file (relative paths in the data directory)
// written whole on chiudi(). Throws ErroreStampa when it cannot be opened.
std::unique_ptr<UscitaGrezza> ApriUscitaGrezza(const std::filesystem::path& cartellaDati,
                                               const std::string& uscita);

// Writes the chart lines to the output as the raw path pages them.
void ScriviTestoGrezzo(const std::vector<std::string>& righe, const ImpostazioniStampa& imp,
                       const OpzioniStampa& opzioni, UscitaGrezza& uscita);

}  // namespace tableau::print
