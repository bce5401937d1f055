#include "platform/foundation/string_compare.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <memory>

#include "platform/base/fatal.h"

namespace foundation {

namespace {

// One collator per thread: ICU collators are cheap to clone and not meant to be shared while
// their settings may change; this keeps every use lock-free.
icu::Collator& standardCollator() {
    thread_local std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !made) base::fatal("cannot create the ICU collator");
        made->setStrength(icu::Collator::TERTIARY);
        made->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
        made->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
        if (U_FAILURE(status)) base::fatal("cannot configure the ICU collator");
        return made;
    }();
    return *collator;
}

const icu::Normalizer2& nfc() {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || !normalizer) base::fatal("ICU NFC data missing");
    return *normalizer;
}

icu::UnicodeString normalized(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString result = nfc().normalize(icu::UnicodeString::fromUTF8(text), status);
    if (U_FAILURE(status)) return icu::UnicodeString::fromUTF8(text);
    return result;
}

std::string toUTF8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace

std::weak_ordering StringCompare::localizedStandardCompare(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult result = standardCollator().compareUTF8(a, b, status);
    if (U_FAILURE(status))
        return a < b ? std::weak_ordering::less : a == b ? std::weak_ordering::equivalent : std::weak_ordering::greater;
    if (result == UCOL_LESS) return std::weak_ordering::less;
    if (result == UCOL_GREATER) return std::weak_ordering::greater;
    return std::weak_ordering::equivalent;
}

std::string StringCompare::localizedStandardSortKey(std::string_view text) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    std::string key(64, '\0');
    for (;;) {
        int32_t length = standardCollator().getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()),
                                                       static_cast<int32_t>(key.size()));
        if (length <= static_cast<int32_t>(key.size())) {
            key.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);  // without the final NUL
            return key;
        }
        key.resize(static_cast<std::size_t>(length));
    }
}

bool StringCompare::canonicallyEqual(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return normalized(a) == normalized(b);
}

std::string StringCompare::precomposed(std::string_view text) { return toUTF8(normalized(text)); }

std::string StringCompare::lowercased(std::string_view text) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    unicode.toLower(icu::Locale::getRoot());
    return toUTF8(unicode);
}

bool StringCompare::localizedCaseInsensitiveContains(std::string_view text, std::string_view part) {
    if (part.empty()) return false;
    icu::UnicodeString haystack = normalized(text).foldCase();
    icu::UnicodeString needle = normalized(part).foldCase();
    return haystack.indexOf(needle) >= 0;
}

}  // namespace foundation
