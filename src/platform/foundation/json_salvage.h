#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/json.h"

namespace foundation {

// What could be read of the text of a JSON object, member by member: a file cut off by a crash or
// a full disk, or holding a value JSON cannot carry (1e400, NaN), still gives every member that
// stands whole.
struct SalvagedJsonObject {
    Json object = Json::object();
    // Names of the members left out or cut down, in the order of the text.
    std::vector<std::string> lost;
    // The text ended with the object's closing brace and nothing but white space after it.
    bool complete = false;

    bool damaged() const { return !complete || !lost.empty(); }
};

// Reads `text` as a JSON object. Text that parses whole is taken whole. Otherwise each member is
// parsed on its own: one whose value does not parse is left out, unless `depth` > 0 and the value
// is an object, which is then salvaged the same way with `depth` - 1; a member cut off by the end
// of the text is left out (a number cut short would read as another number). Nothing when the
// text does not begin with an object. A value that would nest past JsonCoding::kMaximumDepth in
// the whole text does not parse. Linear in the text for each level of depth.
std::optional<SalvagedJsonObject> salvageJsonObject(std::string_view text, int depth = 1);

}  // namespace foundation
