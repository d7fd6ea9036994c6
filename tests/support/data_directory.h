#pragma once
// Where the tests of the commands run them: the data directory and workstation a command
// works for, a directory elsewhere with no settings of the machine, and no display.
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tableau::test {

// The data directory a command works in and the workstation it works for (PCLocal, which
// names the chart file FD<workstation>).
struct PostazioneDiProva {
    std::filesystem::path cartella;
    std::string numero;
};

// A fresh directory that is neither a data directory nor holds one, current for the object's
// lifetime and the user's settings home (XDG_CONFIG_HOME), with no server and no schema from
// the environment: a run reads only the settings the test writes there or gives.
class Altrove {
  public:
    Altrove() = default;
    Altrove(const Altrove&) = delete;
    Altrove& operator=(const Altrove&) = delete;

    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  private:
    TempDir dir_;
    CurrentDirectory qui_{dir_.path()};
    ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().c_str()};
    ScopedEnv server_{"TABLEAU_SERVER", nullptr};
    ScopedEnv schema_{"TABLEAU_SCHEMA", nullptr};
};

// No display and no platform chosen for the object's lifetime, as from cron or a timer.
class SenzaDisplay {
  public:
    SenzaDisplay() = default;
    SenzaDisplay(const SenzaDisplay&) = delete;
    SenzaDisplay& operator=(const SenzaDisplay&) = delete;

  private:
    ScopedEnv piattaforma_{"QT_QPA_PLATFORM", nullptr};
    ScopedEnv display_{"DISPLAY", nullptr};
    ScopedEnv wayland_{"WAYLAND_DISPLAY", nullptr};
};

}  // namespace tableau::test
