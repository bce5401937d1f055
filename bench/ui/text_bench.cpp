// The cost of measuring a label as a layout pass does: cold (nothing shaped yet), with the shaped
// runs cached (a new label showing a text seen before) and with the label's own layout cached
// (the same label asked again). The peer is bare HarfBuzz shaping of the same text in the same
// font, the floor any shaped measurement pays.
#include <benchmark/benchmark.h>
#include <hb.h>

#include <string>

#include "platform/ui/text/font_library.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_shaper.h"

namespace {

const std::string title = "Holiday in Lisbon - Day 3 (Tram 28 to Castelo)";

std::string numbered(int64_t i) { return title + " " + std::to_string(i); }

void BM_LabelMeasureCold(benchmark::State& state) {
    int64_t i = 0;
    for (auto _ : state) {
        ui::TextShaper::shared().clearCache();
        auto label = ui::Label::create();
        label->setText(numbered(i++));
        benchmark::DoNotOptimize(label->intrinsicContentSize());
    }
}
BENCHMARK(BM_LabelMeasureCold);

void BM_LabelMeasureShapedRunsCached(benchmark::State& state) {
    for (auto _ : state) {
        auto label = ui::Label::create();
        label->setText(title);
        benchmark::DoNotOptimize(label->intrinsicContentSize());
    }
}
BENCHMARK(BM_LabelMeasureShapedRunsCached);

void BM_LabelMeasureLayoutCached(benchmark::State& state) {
    auto label = ui::Label::create();
    label->setText(title);
    for (auto _ : state) benchmark::DoNotOptimize(label->intrinsicContentSize());
}
BENCHMARK(BM_LabelMeasureLayoutCached);

void BM_LabelTwoLinesTruncatedCold(benchmark::State& state) {
    int64_t i = 0;
    for (auto _ : state) {
        ui::TextShaper::shared().clearCache();
        auto label = ui::Label::create();
        label->setNumberOfLines(2);
        label->setText(numbered(i++) + " and back again by the river at night");
        benchmark::DoNotOptimize(label->sizeThatFits({160, 1000}));
    }
}
BENCHMARK(BM_LabelTwoLinesTruncatedCold);

void BM_PeerHarfBuzzShape(benchmark::State& state) {
    const auto path = ui::FontLibrary::shared().filePath("Inter-Regular").value_or("");
    hb_blob_t* blob = hb_blob_create_from_file(path.c_str());
    hb_face_t* face = hb_face_create(blob, 0);
    hb_font_t* font = hb_font_create(face);
    int64_t i = 0;
    for (auto _ : state) {
        const auto text = numbered(i++);
        hb_buffer_t* buffer = hb_buffer_create();
        hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(font, buffer, nullptr, 0);
        unsigned count = 0;
        const auto* positions = hb_buffer_get_glyph_positions(buffer, &count);
        int64_t width = 0;
        for (unsigned g = 0; g < count; ++g) width += positions[g].x_advance;
        benchmark::DoNotOptimize(width);
        hb_buffer_destroy(buffer);
    }
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
}
BENCHMARK(BM_PeerHarfBuzzShape);

}  // namespace

BENCHMARK_MAIN();
