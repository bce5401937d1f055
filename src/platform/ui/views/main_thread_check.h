#pragma once

#include "platform/base/fatal.h"
#include "platform/dispatch/main_thread.h"

namespace ui {

[[noreturn]] void failOffMainThread(base::SourceLocation where);

// Views, layers, controllers, windows, controls and gesture recognisers belong to the main
// thread: a mutator called from another one is a programming error, stopped at the call rather
// than left to tear a frame later. Cheap enough for every mutator (see `isMainThread`).
inline void checkMainThread(base::SourceLocation where = base::SourceLocation::current()) {
    if (!dispatch::isMainThread()) [[unlikely]]
        failOffMainThread(where);
}

}  // namespace ui
