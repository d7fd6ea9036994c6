#pragma once
// tableau serve, tableau user add, tableau user remove: the web view of the chart and its
// users. Each command takes its options already read into a plain struct; the command line
// is read by app/command_line.cpp.
#include <atomic>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "routines/settings.h"

namespace tableau::app {

// Serves the web view until SIGINT or SIGTERM (or until `fermati` turns true, checked every
// few tenths of a second): the address, the certificate and the users file from the
// settings (web.listen, web.cert, web.key, web.users), the hotel tables where the settings
// say. Says on `out` where it listens. Returns 0 after a stop, 2 for a refused setting
// (an address that is not loopback without a certificate or --insecure), 1 when it cannot
// listen.
int Servi(const OpzioniServi& opzioni, std::ostream& out, std::ostream& err,
          const routines::Impostazioni& impostazioni, const std::atomic<bool>* fermati = nullptr);

// tableau user add NAME: the password read from the first line of `in` (a terminal's or a
// pipe's), its Argon2id hash written into the users file (web.users); a user already there
// gets the new password.
int AggiungiUtenteWeb(const OpzioniUtente& opzioni, std::istream& in, std::ostream& out,
                      std::ostream& err, const routines::Impostazioni& impostazioni);

// tableau user remove NAME: the user taken out of the users file; exit 1 when there is none.
int RimuoviUtenteWeb(const OpzioniUtente& opzioni, std::ostream& out, std::ostream& err,
                     const routines::Impostazioni& impostazioni);

// The users file the settings name (web.users), else /etc/tableau/utenti.
std::string FileUtentiImpostato(const routines::Impostazioni& impostazioni);

}  // namespace tableau::app
