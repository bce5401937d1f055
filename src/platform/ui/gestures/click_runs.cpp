#include "platform/ui/gestures/click_runs.h"

#include "platform/ui/gestures/presses_before_paint.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {
// What appeared before the first press keeps 0, which every press follows.
ClickRuns::Stamp runNow = 0;
}  // namespace

ClickRuns::Stamp ClickRuns::current() { return runNow; }

void ClickRuns::press(bool continuesRun) {
    checkMainThread();
    // A press made before what appeared last was on screen goes on with the run, whatever its count.
    const bool madeBeforeShown = PressesBeforePaint::takePress();
    if (!continuesRun && !madeBeforeShown) ++runNow;
}

}  // namespace ui
