#include "platform/ui/text/text_boundaries.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace ui::text_boundaries {

namespace {

enum class Kind { line, grapheme, word };

// Making an iterator loads ICU's rules (tens of microseconds): they are loaded once, before any
// thread uses them, and each thread keeps its own clone, since an iterator holds its text and is
// not shareable. Threads that made their first iterators at the same moment raced inside ICU's
// lazy set-up.
const icu::BreakIterator* prototype(Kind kind) {
    static std::unique_ptr<icu::BreakIterator> line, grapheme, word;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        UErrorCode status = U_ZERO_ERROR;
        line.reset(icu::BreakIterator::createLineInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) line.reset();
        status = U_ZERO_ERROR;
        grapheme.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) grapheme.reset();
        status = U_ZERO_ERROR;
        word.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) word.reset();
    });
    return kind == Kind::line ? line.get() : kind == Kind::grapheme ? grapheme.get() : word.get();
}

icu::BreakIterator* iterator(Kind kind) {
    thread_local std::unique_ptr<icu::BreakIterator> line;
    thread_local std::unique_ptr<icu::BreakIterator> grapheme;
    thread_local std::unique_ptr<icu::BreakIterator> word;
    auto& slot = kind == Kind::line ? line : kind == Kind::grapheme ? grapheme : word;
    if (!slot) {
        if (const auto* made = prototype(kind)) slot.reset(made->clone());
    }
    return slot.get();
}

// Runs `walk` with the iterator of `kind` set on `utf8`; false when ICU could not set it.
template <typename Walk>
bool withIterator(std::string_view utf8, Kind kind, Walk walk) {
    auto* it = iterator(kind);
    UErrorCode status = U_ZERO_ERROR;
    UText* text = utext_openUTF8(nullptr, utf8.data(), static_cast<int64_t>(utf8.size()), &status);
    bool walked = false;
    if (it && U_SUCCESS(status)) {
        // Over UTF-8 text, ICU's native indices are byte offsets.
        it->setText(text, status);
        if (U_SUCCESS(status)) {
            walk(*it);
            walked = true;
        }
        it->setText(icu::UnicodeString());  // drop the reference to the caller's bytes
    }
    utext_close(text);
    return walked;
}

std::vector<size_t> breaks(std::string_view utf8, Kind kind) {
    std::vector<size_t> result;
    if (utf8.empty()) return result;
    withIterator(utf8, kind, [&](icu::BreakIterator& it) {
        for (int32_t b = it.next(); b != icu::BreakIterator::DONE; b = it.next())
            result.push_back(static_cast<size_t>(b));
    });
    if (result.empty() || result.back() != utf8.size()) result.push_back(utf8.size());
    return result;
}

}  // namespace

std::vector<size_t> lineBreaks(std::string_view utf8) { return breaks(utf8, Kind::line); }
std::vector<size_t> graphemeBreaks(std::string_view utf8) { return breaks(utf8, Kind::grapheme); }
std::vector<size_t> wordBreaks(std::string_view utf8) { return breaks(utf8, Kind::word); }

size_t graphemeBreakBefore(std::string_view utf8, size_t offset) {
    if (offset > utf8.size()) return utf8.size();
    if (offset == 0) return 0;
    size_t found = 0;
    withIterator(utf8, Kind::grapheme, [&](icu::BreakIterator& it) {
        // ICU moves an offset inside a character to its start first: from the break it finds,
        // step on to the last one still before the offset.
        const int32_t b = it.preceding(static_cast<int32_t>(offset));
        found = b == icu::BreakIterator::DONE ? 0 : static_cast<size_t>(b);
        for (int32_t n = it.following(static_cast<int32_t>(found));
             n != icu::BreakIterator::DONE && static_cast<size_t>(n) < offset; n = it.next())
            found = static_cast<size_t>(n);
    });
    return found;
}

size_t graphemeBreakAfter(std::string_view utf8, size_t offset) {
    if (offset >= utf8.size()) return utf8.size();
    size_t found = utf8.size();
    withIterator(utf8, Kind::grapheme, [&](icu::BreakIterator& it) {
        const int32_t b = it.following(static_cast<int32_t>(offset));
        found = b == icu::BreakIterator::DONE ? utf8.size() : static_cast<size_t>(b);
    });
    return found;
}

}  // namespace ui::text_boundaries
