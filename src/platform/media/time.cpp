#include "platform/media/time.h"

#include <cmath>
#include <limits>

namespace media {

Time Time::makeWithSeconds(double seconds, std::int32_t timescale) {
    if (!std::isfinite(seconds) || timescale <= 0) return invalid();
    return make(static_cast<std::int64_t>(std::llround(seconds * timescale)), timescale);
}

double Time::seconds() const {
    switch (kind) {
        case Kind::invalid: return std::numeric_limits<double>::quiet_NaN();
        case Kind::positiveInfinity: return std::numeric_limits<double>::infinity();
        case Kind::numeric: return timescale > 0 ? static_cast<double>(value) / timescale : 0;
    }
    return 0;
}

}  // namespace media
