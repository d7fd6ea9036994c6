#pragma once
// The program's lines in the system log, so that an administrator finds with
// "journalctl -t tableau" what happened at a desk: one line per chart, print, export or
// failure, each with the workstation, never a guest's data. Written as syslog(3) writes
// them (identity "tableau", facility user) to /dev/log, or to the socket named by
// $TABLEAU_REGISTRO. The log is a convenience: without a log socket nothing fails.
// The workstation is the one the start-up sets; "-" before it does.
#include <string_view>

namespace tableau::routines {

// The workstation every line names from now on (Windows-1252, as the settings give it);
// called once at start-up.
void ImpostaPostazioneRegistro(std::string_view postazione);

// A chart, print or export done. Text is UTF-8.
void RegistraEvento(std::string_view testo);
// Something the administrator should look at, though the work was done (data older than
// the settings allow). Text is UTF-8.
void RegistraAvviso(std::string_view testo);
// A failure the user was shown. Text is UTF-8.
void RegistraErrore(std::string_view testo);

}  // namespace tableau::routines
