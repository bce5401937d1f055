#include "platform/ui/animation/media_time.h"

#include "platform/dispatch/run_loop.h"

namespace ui {

double currentMediaTime() { return dispatch::toSeconds(dispatch::RunLoop::main()->now()); }

}  // namespace ui
