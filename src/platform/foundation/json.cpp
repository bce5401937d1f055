#include "platform/foundation/json.h"

namespace foundation {

Result<Json> JsonCoding::parse(std::string_view text) {
    Json value = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded()) return Error::foundation(kErrorCorruptData, "malformed JSON");
    return value;
}

std::string JsonCoding::dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string JsonCoding::dumpPretty(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace foundation
