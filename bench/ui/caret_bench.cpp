// One arrow key in a field holding a long line: 100,000 characters of Hebrew and Latin words in
// turn, so the line changes direction every word. Each key is what the window does for it: the
// caret moved by the keyboard's editing of the field's text (a TextEditing made from the text
// and selection, as FieldKeys makes one for each key), then the field's line laid out again for
// the paint that follows, scrolled to show the caret. Iterations walk the caret through the
// line, right then left, so no place is measured twice in a row.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/ui/text/caret_stops.h"
#include "platform/ui/text/field_text_layout.h"
#include "platform/ui/text/text_editing.h"

namespace {

constexpr size_t kCharacters = 100'000;

// Words of each script in turn, a space between them, `characters` characters in all.
std::string mixedLine(size_t characters) {
    const std::u32string words[] = {U"שלום", U"hello", U"עולם", U"world"};
    std::u32string line;
    for (size_t i = 0; line.size() < characters; ++i) {
        if (!line.empty()) line += U' ';
        line += words[i % 4];
    }
    line.resize(characters);
    std::string utf8;
    for (const char32_t c : line) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {  // Hebrew letters take two bytes
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

const std::string& line() {
    static const std::string text = mixedLine(kCharacters);
    return text;
}

// The caret's walk: right through the first stretch of the line, then back left.
struct Walk {
    size_t caret = 0;
    int steps = 0;
    ui::TextEditing::Extend extend = ui::TextEditing::Extend::no;
    size_t key() {
        ui::TextEditing editing(line(), {caret, 0});
        if ((steps++ / 2000) % 2 == 0) {
            editing.moveRight(extend);
        } else {
            editing.moveLeft(extend);
        }
        caret = editing.selection().location;
        return caret;
    }
};

void BM_ArrowKeyMovesTheCaret(benchmark::State& state) {
    Walk walk;
    walk.key();  // the text's first key: what a text once edited costs is not one key's
    for (auto _ : state) benchmark::DoNotOptimize(walk.key());
    state.counters["characters"] = static_cast<double>(kCharacters);
}
BENCHMARK(BM_ArrowKeyMovesTheCaret)->Unit(benchmark::kMicrosecond);

// The first key after the text changed: the caret stops of the whole line made again.
void BM_CaretStopsOfTheWholeLine(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ui::CaretStops::ofText(line()).width());
    state.counters["characters"] = static_cast<double>(kCharacters);
}
BENCHMARK(BM_CaretStopsOfTheWholeLine)->Unit(benchmark::kMillisecond);

void BM_ArrowKeyMovesAndLaysOutTheField(benchmark::State& state) {
    Walk walk;
    const auto font = ui::Font::systemFont(17);
    const ui::Rect room{0, 0, 358, 22};
    double scroll = 0;
    auto layOut = [&](size_t caret) {
        auto layout = ui::FieldTextLayout::line(line(), font, ui::Color::label(), room, false,
                                                ui::FieldTextLayout::Editing::yes, scroll);
        scroll = layout.scrollShowing({caret, 0});
        return layout.caret(caret).origin.x;
    };
    layOut(walk.key());
    for (auto _ : state) benchmark::DoNotOptimize(layOut(walk.key()));
    state.counters["characters"] = static_cast<double>(kCharacters);
}
BENCHMARK(BM_ArrowKeyMovesAndLaysOutTheField)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
