#pragma once
// Keyboard rules shared by the windows: Enter presses the button that has the focus, as
// Space does (no window has a default button), and Escape closes no window (none has a
// cancel button); closing is always a button's or the window frame's.
class QWidget;

namespace tableau::gui {

// Gives every button of the window, built before the call, the Enter rule, and the window
// the Escape rule. The rules are event filters owned by the window.
void RegoleTastiera(QWidget* finestra);

}  // namespace tableau::gui
