#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/cancellable.h"

namespace foundation {

// Subscribes to `publisher` (a subject with `sink`) and hands `receive` a value only once `interval`
// has passed on the main run loop's clock without a newer one; `receive` runs on the main run loop.
// Cancelling the result ends the upstream subscription and drops a value still waiting. The main
// run loop is the one installed at the time of the call.
template <typename T, typename Publisher>
[[nodiscard]] Cancellable debounce(Publisher& publisher, dispatch::Duration interval,
                                   std::function<void(const T&)> receive) {
    struct State {
        std::mutex mutex;
        std::optional<T> pending;
        std::optional<dispatch::RunLoop::TimerId> timer;
        bool cancelled = false;
        std::function<void(const T&)> receive;
    };
    auto state = std::make_shared<State>();
    state->receive = std::move(receive);
    std::weak_ptr<dispatch::RunLoop> weakLoop = dispatch::RunLoop::main();

    auto fire = [state] {
        std::optional<T> value;
        {
            std::lock_guard lock(state->mutex);
            if (state->cancelled) return;
            value = std::exchange(state->pending, std::nullopt);
            state->timer.reset();
        }
        if (value) state->receive(*value);
    };
    auto upstream = publisher.sink([state, weakLoop, interval, fire](const T& value) {
        auto loop = weakLoop.lock();
        if (!loop) return;
        std::lock_guard lock(state->mutex);
        if (state->cancelled) return;
        if (state->timer) loop->cancel(*state->timer);
        state->pending = value;
        state->timer = loop->schedule(loop->now() + interval, fire);
    });
    auto shared = std::make_shared<Cancellable>(std::move(upstream));
    return Cancellable([state, weakLoop, shared] {
        shared->cancel();
        std::lock_guard lock(state->mutex);
        state->cancelled = true;
        state->pending.reset();
        if (auto loop = weakLoop.lock(); loop && state->timer) loop->cancel(*state->timer);
    });
}

}  // namespace foundation
