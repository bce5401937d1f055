#pragma once

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/foundation/error.h"

namespace foundation {

using Json = nlohmann::json;

// Coded forms: optional keys are omitted, never written as null; numbers are written in the
// shortest form that reads back to the same double (0.1 -> "0.1", 1e21 -> "1e+21",
// 5.0 -> "5.0"), which nlohmann's dump guarantees.
class JsonCoding {
public:
    // Copying, comparing and writing a value recurse once per level of nesting, so a stored file
    // nesting arrays 160,000 deep would overflow the stack wherever its value is used. Nothing the
    // program stores comes near this depth; the deepest record it writes nests 3 levels.
    static constexpr int kMaximumDepth = 100;

    // The one reader of JSON text the program stores or is handed back (files, bookmarks): never
    // throws; kErrorCorruptData when the text is malformed or nests arrays and objects more than
    // `maximumDepth` levels deep (the outermost counts as 1). Linear in the text whatever its depth.
    static Result<Json> parse(std::string_view text, int maximumDepth = kMaximumDepth);
    // Compact text ({"a":1}); invalid UTF-8 in strings is replaced, never thrown on.
    static std::string dump(const Json& value);
    // Indented text for files people read.
    static std::string dumpPretty(const Json& value);

    // Writes `key` only when `value` holds something.
    template <typename T>
    static void encodeIfPresent(Json& object, const std::string& key, const std::optional<T>& value) {
        if (value) object[key] = *value;
    }

    // The value of `key` when present, not null, and of the asked type; nothing otherwise.
    // Integer types accept only JSON integers in range; double accepts any number; bool only
    // booleans; std::string only strings.
    template <typename T>
    static std::optional<T> decodeIfPresent(const Json& object, const std::string& key);

    // Like decodeIfPresent, but a missing key or a wrong type is an error naming the key.
    template <typename T>
    static Result<T> decode(const Json& object, const std::string& key) {
        if (auto value = decodeIfPresent<T>(object, key)) return std::move(*value);
        return Error::foundation(kErrorCorruptData, "missing or mistyped key \"" + key + "\"");
    }
};

template <typename T>
std::optional<T> JsonCoding::decodeIfPresent(const Json& object, const std::string& key) {
    if (!object.is_object()) return std::nullopt;
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) return std::nullopt;
    if constexpr (std::is_same_v<T, bool>) {
        if (!it->is_boolean()) return std::nullopt;
        return it->template get<bool>();
    } else if constexpr (std::is_integral_v<T>) {
        if (it->is_number_unsigned()) {
            auto v = it->template get<std::uint64_t>();
            if (v > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) return std::nullopt;
            return static_cast<T>(v);
        }
        if (!it->is_number_integer()) return std::nullopt;
        auto v = it->template get<std::int64_t>();
        if (v < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
            (v > 0 && static_cast<std::uint64_t>(v) > static_cast<std::uint64_t>(std::numeric_limits<T>::max())))
            return std::nullopt;
        return static_cast<T>(v);
    } else if constexpr (std::is_floating_point_v<T>) {
        if (!it->is_number()) return std::nullopt;
        return it->template get<T>();
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (!it->is_string()) return std::nullopt;
        return it->template get<std::string>();
    } else {
        return *it;  // Json
    }
}

}  // namespace foundation
