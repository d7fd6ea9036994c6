#pragma once
// What every start of the program does before its window or command: the general options
// of the command line, the settings, the data directory entered and the workstation set.
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "routines/settings.h"

namespace tableau::app {

// The general options, wherever they stand among the arguments: -C DIR, --cartella DIR,
// --cartella=DIR. The rest is the command and its arguments, in order.
struct OpzioniGenerali {
    std::optional<std::string> cartella;
    Argomenti resto;
};

// Throws routines::RichiestaRifiutata for an option without its value.
OpzioniGenerali LeggiOpzioniGenerali(const Argomenti& argomenti);

// Reads the settings (office file, user file, environment, options), makes the data
// directory the current directory and gives PCLocal the workstation of the files when the
// environment has none. Throws routines::Errore for a settings file that cannot be read and
// for a data directory that does not exist, naming the setting that named it.
routines::Impostazioni ApplicaImpostazioni(const OpzioniGenerali& opzioni,
                                           routines::FontiImpostazioni fonti = {});

}  // namespace tableau::app
