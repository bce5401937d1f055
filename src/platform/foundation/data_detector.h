#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace foundation {

// A span of text in UTF-16 code units, as text ranges are counted on the platform.
struct TextRange {
    size_t location = 0;
    size_t length = 0;
    bool operator==(const TextRange&) const = default;
};

// One thing found in text: where, and for a link the URL it stands for (none when the text is
// a link a URL cannot be made from, such as a host in another script).
struct TextCheckingResult {
    TextRange range;
    std::optional<URL> url;
};

// Finds links in text: "scheme://host..." (any scheme, a host required), bare hosts with a
// known top-level domain ("www.example.com/a", "example.org"; read as http), and e-mail
// addresses (read as mailto). A link starts at a word boundary and runs to white space or
// one of <>"; punctuation that ends a sentence (.,;:!?') and unbalanced closing brackets are
// left out. Immutable; thread safe.
class DataDetector {
public:
    enum CheckingType : std::uint32_t { link = 1 << 0 };

    // Fails for types it cannot check (none, or only unknown ones).
    static Result<DataDetector> create(std::uint32_t types);

    // Matches that lie wholly inside `range` (clamped to the text), in text order.
    std::vector<TextCheckingResult> matches(std::string_view utf8, TextRange range) const;
    std::optional<TextCheckingResult> firstMatch(std::string_view utf8, TextRange range) const;

    // The length of UTF-8 text in UTF-16 code units (invalid bytes count as one unit each).
    static size_t utf16Length(std::string_view utf8);

private:
    explicit DataDetector(std::uint32_t types) : m_types(types) {}

    std::uint32_t m_types;
};

}  // namespace foundation
