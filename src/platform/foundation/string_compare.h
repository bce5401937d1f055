#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace foundation {

// Comparisons of UTF-8 text through ICU, as file browsers order and match names.
class StringCompare {
public:
    // The "localized standard" order: case-insensitive, digit runs compared by value
    // ("Episode 2" < "Episode 10"), canonically equivalent forms equal, under the root locale.
    // Texts that differ only in case are ordered (lower before upper) so the order is total;
    // `equivalent` means canonically equal.
    static std::weak_ordering localizedStandardCompare(std::string_view a, std::string_view b);
    // Bytes whose plain byte order is the order above, for sorting many texts: comparing keys is
    // much cheaper than comparing the texts each time.
    static std::string localizedStandardSortKey(std::string_view text);

    // Whether the two texts are canonically equivalent (NFC and NFD forms of "é" are equal).
    static bool canonicallyEqual(std::string_view a, std::string_view b);
    // NFC form of the text (invalid UTF-8 is replaced by U+FFFD).
    static std::string precomposed(std::string_view text);
    // Unicode-aware lower case (root locale).
    static std::string lowercased(std::string_view text);
    // Whether `text` contains `part`, ignoring case and canonical form.
    static bool localizedCaseInsensitiveContains(std::string_view text, std::string_view part);
};

}  // namespace foundation
