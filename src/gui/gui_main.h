#pragma once
#include <string>

namespace tableau::gui {

// Runs the desktop program: the request window in the current (data) directory.
// Returns the process exit status.
int avvia(int argc, char** argv);

// Shows a failure of the program's start (a setting naming a missing data directory) in the
// program's message box; returns the exit status, 1.
int MostraErroreDiAvvio(int argc, char** argv, const std::string& messaggio);

}  // namespace tableau::gui
