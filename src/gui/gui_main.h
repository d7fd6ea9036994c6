#pragma once

namespace tableau::gui {

// Runs the desktop program: the request window in the current (data) directory.
// Returns the process exit status.
int avvia(int argc, char** argv);

}  // namespace tableau::gui
