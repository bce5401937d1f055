#pragma once

namespace ui {

// Which of the pointer's presses were made before what last appeared (a menu, the submenu that
// replaces it, an alert, a screen) was on screen, for the runs of clicks (ClickRuns): such a
// press goes on with the run it came in, whatever the toolkit's click count says (a busy app
// reads the second click of a double click late, and the toolkit then counts it a click of its
// own), so it never lands on what appeared. A window that paints reports it: a press handled
// before it painted what appeared was made before that was on screen, and so were those the
// display server had already made when it painted (the window counts them in its queue,
// `holdBack`). Where no window paints, nothing is held back. Main thread only.
class PressesBeforePaint {
public:
    // Something appears; it shows from the window's next paint.
    static void appeared();
    // A window that reports its paints, while it is open.
    static void windowOpened();
    static void windowClosed();
    // The window painted: whether anything appeared since it last did.
    static bool painted();
    // The next `presses` presses were made before the last paint (they wait in the window's queue).
    static void holdBack(int presses);
    // For the press being counted now: whether it was made before what appeared was on screen.
    static bool takePress();
};

}  // namespace ui
