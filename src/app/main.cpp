// The tableau executable: without arguments the desktop program, with a command the same
// work headless.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "app/cli_commands.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/startup.h"
#include "app/system_language.h"
#include "gui/gui_main.h"
#include "routines/system_log.h"

namespace {

// Outside a desktop session (a cron job, a terminal over ssh) there is no per-user runtime
// directory; give Qt the private one it would pick anyway, so it does not warn about it.
void PreparaCartellaRuntime() {
    if (std::getenv("XDG_RUNTIME_DIR") != nullptr) {
        return;
    }
    const std::string cartella = "/tmp/runtime-" + std::to_string(::getuid());
    struct stat info {};
    if (::mkdir(cartella.c_str(), 0700) == 0 ||
        (::lstat(cartella.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700)) {
        ::setenv("XDG_RUNTIME_DIR", cartella.c_str(), 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tableau;
    app::TestiDiSistemaInItaliano();
    PreparaCartellaRuntime();
    // A command, the help or a refused line: the command line's; else the window.
    const auto finestra = app::OpzioniDellaFinestra(app::Argomenti(argv + 1, argv + argc));
    if (!finestra) {
        return app::Esegui(argc, argv, std::cout, std::cerr);
    }
    const app::OpzioniGenerali& generali = *finestra;
    // Without a display server Qt would end the program with its own English text.
    if (const auto motivo = app::MotivoSenzaDisplay()) {
        std::cerr << *motivo << '\n';
        return app::kFallito;
    }
    routines::Impostazioni impostazioni;
    try {
        impostazioni = app::ApplicaImpostazioni(generali);
    } catch (const std::exception& errore) {
        // Started from the desktop nobody reads the terminal: the window says it.
        routines::RegistraErrore(errore.what());
        return gui::MostraErroreDiAvvio(argc, argv, errore.what());
    }
    for (const std::string& avviso : impostazioni.avvisi) {
        std::cerr << "tableau: " << avviso << '\n';
    }
    return gui::Avvia(argc, argv, app::PostazioneImpostata(impostazioni),
                      [impostazioni] { return app::ApriSorgenteDati(impostazioni); });
}
