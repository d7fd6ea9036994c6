// The tableau executable: without arguments the desktop program, with a command the same
// work headless.
#include <iostream>

#include "app/cli_commands.h"
#include "app/window/gui_main.h"

int main(int argc, char** argv) {
    if (argc > 1) {
        return tableau::cli::esegui(argc, argv, std::cout, std::cerr);
    }
    return tableau::gui::avvia(argc, argv);
}
