// A library-sized list on the headless UI layer: the first apply of 10,000 items, the reload of
// one item among 4,000 (what every thumbnail and duration of the library grid costs), a scroll of
// one screen, and a full layout pass of a 390x844 screen showing 40 cells.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/lists/collection_view_diffable_data_source.h"

namespace {

using Snapshot = ui::DiffableDataSourceSnapshot<int, std::string>;
using DataSource = ui::CollectionViewDiffableDataSource<int, std::string>;

// Item identifiers as long as the library's (36-character UUID strings).
std::vector<std::string> identifiers(int count) {
    std::vector<std::string> ids;
    ids.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string id = std::to_string(i);
        ids.push_back(std::string(36 - id.size(), '0') + id);
    }
    return ids;
}

Snapshot snapshotOf(const std::vector<std::string>& ids) {
    Snapshot snapshot;
    snapshot.appendSections({0});
    snapshot.appendItems(ids, 0);
    return snapshot;
}

std::shared_ptr<ui::CollectionViewLayout> phoneList() {
    return ui::CompositionalLayout::createList(ui::CollectionLayoutSection::ListAppearance::plain);
}

// Four columns of 80-point rows 10 apart: a 390x844 screen shows 40 cells.
std::shared_ptr<ui::CollectionViewLayout> grid() {
    return ui::CompositionalLayout::create([](int, const ui::CollectionLayoutEnvironment&) {
        ui::CollectionLayoutSection section;
        section.itemSize = {ui::LayoutDimension::fractionalWidth(1), ui::LayoutDimension::fractionalHeight(1)};
        section.groupSize = {ui::LayoutDimension::fractionalWidth(1), ui::LayoutDimension::absolute(80)};
        section.itemsPerGroup = 4;
        section.interItemSpacing = 10;
        section.interGroupSpacing = 10;
        section.contentInsets = {10, 10, 10, 10};
        return std::optional<ui::CollectionLayoutSection>(section);
    });
}

struct Screen {
    std::shared_ptr<ui::CollectionView> view;
    std::shared_ptr<DataSource> source;
};

Screen makeScreen(std::shared_ptr<ui::CollectionViewLayout> layout = phoneList()) {
    Screen screen;
    screen.view = ui::CollectionView::create(ui::Rect(0, 0, 390, 844), std::move(layout));
    screen.view->registerCell("cell", [] { return ui::CollectionViewCell::create(); });
    screen.source = DataSource::create(screen.view, [](ui::CollectionView& view, const ui::IndexPath& path,
                                                       const std::string&) { return view.dequeueCell("cell", path); });
    return screen;
}

void BM_ReloadOneItem(benchmark::State& state) {
    const auto ids = identifiers(static_cast<int>(state.range(0)));
    auto screen = makeScreen();
    screen.source->apply(snapshotOf(ids), false);
    size_t next = 0;
    for (auto _ : state) {
        auto snapshot = screen.source->snapshot();
        snapshot.reloadItems({ids[next++ % ids.size()]});
        screen.source->apply(std::move(snapshot), true);
    }
}
BENCHMARK(BM_ReloadOneItem)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

// The same items built into a new snapshot, one of them reloaded: the whole list is compared.
void BM_ReloadOneItemInARebuiltSnapshot(benchmark::State& state) {
    const auto ids = identifiers(static_cast<int>(state.range(0)));
    auto screen = makeScreen();
    screen.source->apply(snapshotOf(ids), false);
    size_t next = 0;
    for (auto _ : state) {
        auto snapshot = snapshotOf(ids);
        snapshot.reloadItems({ids[next++ % ids.size()]});
        screen.source->apply(std::move(snapshot), true);
    }
}
BENCHMARK(BM_ReloadOneItemInARebuiltSnapshot)->Arg(4000)->Unit(benchmark::kMicrosecond);

void BM_FirstApply(benchmark::State& state) {
    const auto snapshot = snapshotOf(identifiers(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        auto screen = makeScreen();
        auto copy = snapshot;
        state.ResumeTiming();
        screen.source->apply(std::move(copy), false);
        benchmark::DoNotOptimize(screen.view->visibleCells().size());
        state.PauseTiming();
        screen = {};
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstApply)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One screen further down each time, back to the top at the end.
void BM_ScrollOneScreen(benchmark::State& state) {
    auto screen = makeScreen();
    screen.source->apply(snapshotOf(identifiers(10000)), false);
    const double end = screen.view->contentSize().height - 844;
    double y = 0;
    for (auto _ : state) {
        y = y + 844 > end ? 0 : y + 844;
        screen.view->setContentOffset({0, y});
    }
    state.counters["cells"] = static_cast<double>(screen.view->subviews().size());
}
BENCHMARK(BM_ScrollOneScreen)->Unit(benchmark::kMicrosecond);

// Every frame of a library-sized grid computed again and the 40 cells in view placed.
void BM_LayoutPass(benchmark::State& state) {
    auto screen = makeScreen(grid());
    screen.source->apply(snapshotOf(identifiers(static_cast<int>(state.range(0)))), false);
    for (auto _ : state) {
        screen.view->collectionViewLayout()->invalidateLayout();
        screen.view->layoutIfNeeded();
    }
    state.counters["visible"] = static_cast<double>(screen.view->visibleCells().size());
}
BENCHMARK(BM_LayoutPass)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
