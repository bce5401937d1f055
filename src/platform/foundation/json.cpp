#include "platform/foundation/json.h"

#include <algorithm>

namespace foundation {

namespace {

// The deepest nesting of arrays and objects in `text`, read as JSON would read it (brackets inside
// strings do not count); stops counting once past `limit`. Only the depth is looked at: whether
// the text is JSON at all is the parser's to say.
int nestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size() && deepest <= limit; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

}  // namespace

Result<Json> JsonCoding::parse(std::string_view text, int maximumDepth) {
    // Measured before parsing, so nothing of a text nested too deep is built. (A parser callback
    // could refuse deep containers too, but nlohmann's callback parser scans the whole enclosing
    // object at the end of each member, which makes a large progress file's parse quadratic.)
    if (nestingDepth(text, maximumDepth) > maximumDepth)
        return Error::foundation(kErrorCorruptData,
                                 "JSON nested deeper than " + std::to_string(maximumDepth) + " levels");
    Json value = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded()) return Error::foundation(kErrorCorruptData, "malformed JSON");
    return value;
}

std::string JsonCoding::dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string JsonCoding::dumpPretty(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace foundation
