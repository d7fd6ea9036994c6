#pragma once
#include <functional>
#include <memory>
#include <string>

#include "db/data_source.h"
#include "routines/workstation.h"

namespace tableau::gui {

// Runs the desktop program: the request window for the workstation, the hotel tables read
// where apriSorgente opens them (unset: the files of its data directory). Returns the
// process exit status.
int Avvia(int argc, char** argv, const routines::Postazione& postazione,
          std::function<std::unique_ptr<db::DataSource>()> apriSorgente = {});

// Shows a failure of the program's start (a setting naming a missing data directory) in the
// program's message box; returns the exit status, 1.
int MostraErroreDiAvvio(int argc, char** argv, const std::string& messaggio);

}  // namespace tableau::gui
