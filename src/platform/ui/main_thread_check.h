#pragma once

#include <source_location>

#include "platform/dispatch/main_thread.h"

namespace ui {

[[noreturn]] void failOffMainThread(std::source_location where);

// Views, layers, controllers, windows, controls and gesture recognisers belong to the main
// thread: a mutator called from another one is a programming error, stopped at the call rather
// than left to tear a frame later. Cheap enough for every mutator (see `isMainThread`).
inline void checkMainThread(std::source_location where = std::source_location::current()) {
    if (!dispatch::isMainThread()) [[unlikely]]
        failOffMainThread(where);
}

}  // namespace ui
