#include "platform/ui/text/bidi_paragraph.h"

#include <unicode/ubidi.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

namespace ui {

namespace {

struct BidiCloser {
    void operator()(UBiDi* bidi) const { ubidi_close(bidi); }
};

}  // namespace

BidiParagraph BidiParagraph::analyze(std::string_view utf8) {
    BidiParagraph paragraph;
    if (utf8.empty()) return paragraph;
    // Plain ASCII has no right-to-left letters: most labels skip ICU.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        paragraph.runs.push_back({0, utf8.size(), 0});
        return paragraph;
    }
    // ICU works on UTF-16: keep the byte offset of each UTF-16 unit to map the runs back.
    std::vector<UChar> units;
    std::vector<size_t> offsets;
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) c = 0xFFFD;
        if (c > 0xFFFF) {
            units.push_back(U16_LEAD(c));
            units.push_back(U16_TRAIL(c));
            offsets.insert(offsets.end(), 2, static_cast<size_t>(start));
        } else {
            units.push_back(static_cast<UChar>(c));
            offsets.push_back(static_cast<size_t>(start));
        }
    }
    offsets.push_back(utf8.size());

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBiDi, BidiCloser> bidi(ubidi_open());
    ubidi_setPara(bidi.get(), units.data(), static_cast<int32_t>(units.size()), UBIDI_DEFAULT_LTR, nullptr, &status);
    if (U_FAILURE(status)) {
        paragraph.runs.push_back({0, utf8.size(), 0});
        return paragraph;
    }
    paragraph.rightToLeft = (ubidi_getParaLevel(bidi.get()) & 1) != 0;
    // The level of every unit at once: asking ICU run by run costs a walk over its runs for each,
    // which a long line of many direction changes (a Hebrew word in every other) pays squared.
    const UBiDiLevel* levels = ubidi_getLevels(bidi.get(), &status);
    if (U_FAILURE(status) || !levels) {
        paragraph.runs.push_back({0, utf8.size(), paragraph.rightToLeft ? 1 : 0});
        return paragraph;
    }
    for (size_t start = 0; start < units.size();) {
        size_t limit = start + 1;
        while (limit < units.size() && levels[limit] == levels[start]) ++limit;
        paragraph.runs.push_back({offsets[start], offsets[limit], levels[start]});
        start = limit;
    }
    return paragraph;
}

std::vector<size_t> BidiParagraph::visualOrder(const std::vector<int>& levels) {
    std::vector<size_t> order(levels.size());
    if (levels.empty()) return order;
    std::vector<UBiDiLevel> raw(levels.begin(), levels.end());
    std::vector<int32_t> map(levels.size());
    ubidi_reorderVisual(raw.data(), static_cast<int32_t>(raw.size()), map.data());
    for (size_t i = 0; i < map.size(); ++i) order[i] = static_cast<size_t>(map[i]);
    return order;
}

}  // namespace ui
