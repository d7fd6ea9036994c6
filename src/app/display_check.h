#pragma once
// Whether the windows can open: Qt ends the program (abort, English text) when its
// platform cannot reach a display server, so the program asks first.
#include <optional>
#include <string>

namespace tableau::app {

// Nothing when the windows can open; otherwise the Italian message to show on the terminal.
// An offscreen or other explicit non-display platform (QT_QPA_PLATFORM) always can; else a
// Wayland socket under XDG_RUNTIME_DIR or an X server named by DISPLAY must answer.
std::optional<std::string> MotivoSenzaDisplay();

}  // namespace tableau::app
