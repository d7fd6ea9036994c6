#pragma once
// What every start of the program does before its window or command: the general options
// of the command line, the settings, the data directory entered and the workstation set.
#include <memory>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "db/data_source.h"
#include "routines/settings.h"
#include "routines/workstation.h"

namespace tableau::app {

// The general options, before or after the command (app/command_line.cpp reads them):
// -C/--data-dir/--cartella DIR, --server CONNINFO, --schema NAME.
struct OpzioniGenerali {
    std::optional<std::string> cartella;
    std::optional<std::string> server{};
    std::optional<std::string> schema{};
};

// Reads the settings (office file, user file, environment, options) and checks the data
// directory they name; the log names the workstation from then on. Nothing is changed in
// the process: the data directory and the workstation reach the rest of the program as
// values (PostazioneImpostata). The schema comes back as PostgreSQL names it (lower case). Throws
// routines::RichiestaRifiutata for a schema that is not a plain name, before anything is
// done; routines::Errore for a settings file that cannot be read and for a data directory
// that does not exist, naming the setting that named it. What the files hold that is not
// used (an unknown key, a value that is not valid) comes back in Impostazioni::avvisi.
routines::Impostazioni ApplicaImpostazioni(const OpzioniGenerali& opzioni,
                                           routines::FontiImpostazioni fonti = {});

// The chain's server the settings name, with the site's schema ("public" when none is
// set); none when no server is set or it is set empty: the hotel tables come from the data
// directory's files, as without the setting.
std::optional<db::ServerSetting> ServerImpostato(const routines::Impostazioni& impostazioni);

// The data directory the settings name, absolute; the current directory when none does.
std::filesystem::path CartellaDati(const routines::Impostazioni& impostazioni);

// The workstation of the run: the data directory and the number of the settings (PCLocal,
// else the key postazione), made once here and handed down.
routines::Postazione PostazioneImpostata(const routines::Impostazioni& impostazioni);

// Where the commands read the hotel tables: the one place they open it, over the data
// directory. Throws db::ErroreServer naming the server as db::DataSource does.
std::unique_ptr<db::DataSource> ApriSorgenteDati(const routines::Impostazioni& impostazioni);

}  // namespace tableau::app
