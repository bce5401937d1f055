#include "platform/ui/gestures/presses_before_paint.h"

#include <utility>

#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {
bool unpainted = false;  // something appeared since the window last painted
int paintingWindows = 0;
int heldBack = 0;  // presses made before the last paint, not counted yet
}  // namespace

void PressesBeforePaint::appeared() {
    checkMainThread();
    unpainted = true;
}

void PressesBeforePaint::windowOpened() { ++paintingWindows; }

void PressesBeforePaint::windowClosed() {
    if (--paintingWindows == 0) heldBack = 0;
}

bool PressesBeforePaint::painted() { return std::exchange(unpainted, false); }

void PressesBeforePaint::holdBack(int presses) { heldBack = presses; }

bool PressesBeforePaint::takePress() {
    if (heldBack > 0) {
        --heldBack;
        return true;
    }
    return unpainted && paintingWindows > 0;
}

}  // namespace ui
