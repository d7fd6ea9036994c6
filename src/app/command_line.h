#pragma once
// The command line of the tableau executable, declared once (command_line.cpp, on CLI11): the
// general options, every command with its typed options and the function that runs it, the
// help made from the same declarations, and every fault of the line refused with one Italian
// message naming the option and what is wrong.
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "app/startup.h"
#include "routines/clock.h"
#include "routines/settings.h"

namespace tableau::app {

// One command line read: the general options, the command named and its options.
class RigaDiComando {
  public:
    RigaDiComando();
    ~RigaDiComando();
    RigaDiComando(const RigaDiComando&) = delete;
    RigaDiComando& operator=(const RigaDiComando&) = delete;

    // Reads the arguments (without the program's name), once. Throws
    // routines::RichiestaRifiutata for the first fault: the Italian message, preceded by
    // "tableau COMMAND: " (or "tableau: "), followed by the usage of the command.
    void leggi(const Argomenti& argomenti);

    const OpzioniGenerali& generali() const;
    // The command named ("chart"); empty when none.
    std::string comando() const;
    // The help the line asked for (--help or -h anywhere, or the command help): the
    // command's when one was named, else the whole line's.
    std::optional<std::string> aiutoChiesto() const;
    // The whole line's help: every command with its options, then the general options, the
    // settings, the environment, the tuning variables and the exit statuses.
    std::string aiuto() const;

    // Runs the command named with its options, the settings and the clock given.
    int esegui(std::ostream& out, std::ostream& err, const routines::Impostazioni& impostazioni,
               const routines::Orologio& orologio) const;

    // The declarations, the options read (CLI11 stays in command_line.cpp).
    struct Dati;

  private:
    std::unique_ptr<Dati> dati_;
};

// The general options of a line that names no command and asks for no help: the start of the
// desktop program. None when the line names a command, asks for help or is refused (Esegui
// runs, helps or refuses those).
std::optional<OpzioniGenerali> OpzioniDellaFinestra(const Argomenti& argomenti);

}  // namespace tableau::app
