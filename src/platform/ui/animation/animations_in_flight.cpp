#include "platform/ui/animation/animations_in_flight.h"

#include <algorithm>

#include "platform/ui/animation/media_time.h"
#include "platform/ui/views/layer.h"

namespace ui {

namespace {

// Below this a layer shows nothing (a fully faded bar), whatever moves under it.
constexpr double kInvisible = 0.001;

void collectEnds(const Layer& layer, double now, double until, std::optional<double>& latest) {
    if (layer.isHidden()) return;
    // An end already passed belongs to an animation whose timer is due: the loop ends it next.
    for (double end : layer.animationEnds()) {
        if (end > now && end <= until) latest = std::max(latest.value_or(end), end);
    }
    // Faded out and staying so: nothing under it shows (a fade in or out shows it meanwhile).
    if (layer.opacity() <= kInvisible && layer.presentationOpacity() <= kInvisible) return;
    for (const auto& sublayer : layer.sublayers()) collectEnds(*sublayer, now, until, latest);
    if (auto mask = layer.mask()) collectEnds(*mask, now, until, latest);
}

}  // namespace

std::optional<double> AnimationsInFlight::restingTime(const Layer& root, double within) {
    const double now = currentMediaTime();
    std::optional<double> latest;
    collectEnds(root, now, now + within, latest);
    return latest;
}

}  // namespace ui
