#pragma once
// What every start of the program does before its window or command: the general options
// of the command line, the settings, the data directory entered and the workstation set.
#include <memory>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "db/data_source.h"
#include "routines/settings.h"

namespace tableau::app {

// The general options, wherever they stand among the arguments: -C DIR, --cartella DIR,
// --cartella=DIR, --server CONNINFO, --server=CONNINFO, --schema NAME, --schema=NAME. The
// rest is the command and its arguments, in order.
struct OpzioniGenerali {
    std::optional<std::string> cartella;
    Argomenti resto;
    std::optional<std::string> server{};
    std::optional<std::string> schema{};
};

// Throws routines::RichiestaRifiutata for an option without its value.
OpzioniGenerali LeggiOpzioniGenerali(const Argomenti& argomenti);

// Reads the settings (office file, user file, environment, options), makes the data
// directory the current directory and gives PCLocal the workstation of the files when the
// environment has none. The schema comes back as PostgreSQL names it (lower case). Throws
// routines::RichiestaRifiutata for a schema that is not a plain name, before anything is
// done; routines::Errore for a settings file that cannot be read and for a data directory
// that does not exist, naming the setting that named it.
routines::Impostazioni ApplicaImpostazioni(const OpzioniGenerali& opzioni,
                                           routines::FontiImpostazioni fonti = {});

// The chain's server the settings name, with the site's schema ("public" when none is
// set); none when no server is set or it is set empty: the hotel tables come from the data
// directory's files, as without the setting.
std::optional<db::ServerSetting> ServerImpostato(const routines::Impostazioni& impostazioni);

// Where the commands read the hotel tables: the one place they open it, over the current
// (data) directory. Throws db::ErroreServer naming the server as db::DataSource does.
std::unique_ptr<db::DataSource> ApriSorgenteDati(const routines::Impostazioni& impostazioni);

}  // namespace tableau::app
