// Snapshots keep every item's position in an index: a model of plain vectors checks it through
// random edits, and applying snapshots keeps the shown cells in step with the items.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/ui/lists/collection_view_diffable_data_source.h"

namespace ui {
namespace {

using Snapshot = DiffableDataSourceSnapshot<int, int>;

// The same edits on vectors, searched the slow way.
struct Model {
    std::vector<std::pair<int, std::vector<int>>> sections;

    std::optional<IndexPath> find(int item) const {
        for (size_t s = 0; s < sections.size(); ++s) {
            const auto& items = sections[s].second;
            const auto it = std::find(items.begin(), items.end(), item);
            if (it != items.end()) return IndexPath{static_cast<int>(s), static_cast<int>(it - items.begin())};
        }
        return std::nullopt;
    }
    std::vector<int>& itemsOf(int section) {
        for (auto& [id, items] : sections) {
            if (id == section) return items;
        }
        throw std::logic_error("no such section");
    }
};

void expectSame(const Snapshot& snapshot, const Model& model, int universe) {
    ASSERT_EQ(snapshot.numberOfSections(), static_cast<int>(model.sections.size()));
    int flat = 0;
    for (size_t s = 0; s < model.sections.size(); ++s) {
        ASSERT_EQ(snapshot.sectionIdentifiers()[s], model.sections[s].first);
        ASSERT_EQ(snapshot.itemIdentifiers(model.sections[s].first), model.sections[s].second);
        flat += static_cast<int>(model.sections[s].second.size());
    }
    ASSERT_EQ(snapshot.numberOfItems(), flat);
    for (int item = 0; item < universe; ++item) {
        const auto expected = model.find(item);
        ASSERT_EQ(snapshot.indexPath(item), expected) << "item " << item;
        ASSERT_EQ(snapshot.contains(item), expected.has_value());
        if (expected) {
            ASSERT_EQ(snapshot.item(*expected), item);
        }
    }
}

TEST(DiffableSnapshotTest, TheIndexFollowsEveryKindOfEdit) {
    std::mt19937 random(7);
    constexpr int universe = 60;
    Snapshot snapshot;
    Model model;
    snapshot.appendSections({0, 1});
    model.sections = {{0, {}}, {1, {}}};
    int nextSection = 2;
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto present = [&] {
        std::vector<int> items;
        for (const auto& [id, list] : model.sections) items.insert(items.end(), list.begin(), list.end());
        return items;
    };
    for (int step = 0; step < 2000; ++step) {
        Snapshot before = snapshot;  // a copy must not see the edits that follow
        const auto beforeItems = before.itemIdentifiers();
        const auto items = present();
        const int candidate = pick(universe);
        const bool absent = !model.find(candidate);
        switch (pick(7)) {
            case 0:  // append to a section
                if (absent && !model.sections.empty()) {
                    const auto& [id, list] =
                        model.sections[static_cast<size_t>(pick(static_cast<int>(model.sections.size())))];
                    snapshot.appendItems({candidate}, id);
                    model.itemsOf(id).push_back(candidate);
                }
                break;
            case 1:  // insert before or after an item
                if (absent && !items.empty()) {
                    const int anchor = items[static_cast<size_t>(pick(static_cast<int>(items.size())))];
                    const auto at = *model.find(anchor);
                    auto& list = model.sections[static_cast<size_t>(at.section)].second;
                    const bool after = pick(2) == 1;
                    if (after) {
                        snapshot.insertItemsAfter({candidate}, anchor);
                    } else {
                        snapshot.insertItemsBefore({candidate}, anchor);
                    }
                    list.insert(list.begin() + at.item + (after ? 1 : 0), candidate);
                }
                break;
            case 2:  // delete a few items at once
                if (!items.empty()) {
                    std::vector<int> going;
                    for (int i = 0; i < 3; ++i)
                        going.push_back(items[static_cast<size_t>(pick(static_cast<int>(items.size())))]);
                    snapshot.deleteItems(going);
                    for (auto& [id, list] : model.sections)
                        std::erase_if(list, [&](int v) { return std::count(going.begin(), going.end(), v) > 0; });
                }
                break;
            case 3:  // move an item before or after another, maybe into another section
                if (items.size() >= 2) {
                    const int item = items[static_cast<size_t>(pick(static_cast<int>(items.size())))];
                    const int anchor = items[static_cast<size_t>(pick(static_cast<int>(items.size())))];
                    if (item == anchor) break;
                    const bool after = pick(2) == 1;
                    if (after) {
                        snapshot.moveItemAfter(item, anchor);
                    } else {
                        snapshot.moveItemBefore(item, anchor);
                    }
                    const auto from = *model.find(item);
                    auto& source = model.sections[static_cast<size_t>(from.section)].second;
                    source.erase(source.begin() + from.item);
                    const auto to = *model.find(anchor);
                    auto& target = model.sections[static_cast<size_t>(to.section)].second;
                    target.insert(target.begin() + to.item + (after ? 1 : 0), item);
                }
                break;
            case 4:  // insert a section before or after another
                if (!model.sections.empty() && model.sections.size() < 6) {
                    const size_t at = static_cast<size_t>(pick(static_cast<int>(model.sections.size())));
                    const bool after = pick(2) == 1;
                    const int anchor = model.sections[at].first;
                    if (after) {
                        snapshot.insertSectionsAfter({nextSection}, anchor);
                    } else {
                        snapshot.insertSectionsBefore({nextSection}, anchor);
                    }
                    model.sections.insert(model.sections.begin() + static_cast<long>(at + (after ? 1 : 0)),
                                          {nextSection, {}});
                    ++nextSection;
                }
                break;
            case 5:  // delete a section with its items
                if (model.sections.size() > 1) {
                    const size_t at = static_cast<size_t>(pick(static_cast<int>(model.sections.size())));
                    snapshot.deleteSections({model.sections[at].first});
                    model.sections.erase(model.sections.begin() + static_cast<long>(at));
                }
                break;
            case 6:  // mark for reload: the items stay where they are
                if (!items.empty()) snapshot.reloadItems({items.front()});
                break;
        }
        ASSERT_NO_FATAL_FAILURE(expectSame(snapshot, model, universe)) << "step " << step;
        ASSERT_EQ(before.itemIdentifiers(), beforeItems) << "step " << step;
    }
}

using DataSource = CollectionViewDiffableDataSource<int, int>;

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = CollectionView::create(Rect(0, 0, 390, 844),
                                      CompositionalLayout::createList(CollectionLayoutSection::ListAppearance::plain));
        view->registerCell("cell", [] { return CollectionViewCell::create(); });
        source = DataSource::create(view, [this](CollectionView& v, const IndexPath& p, const int& item) {
            ++asked;
            auto cell = v.dequeueCell("cell", p);
            cell->setTag(item);
            return cell;
        });
    }

    static Snapshot of(const std::vector<int>& ids) {
        Snapshot snapshot;
        snapshot.appendSections({0});
        snapshot.appendItems(ids);
        return snapshot;
    }

    // Every shown cell sits at its item's frame and shows its item.
    void expectCellsMatchItems() {
        const auto snapshot = source->snapshot();
        for (const auto& indexPath : view->indexPathsForVisibleItems()) {
            auto cell = view->cellAt(indexPath);
            EXPECT_EQ(cell->tag(), snapshot.item(indexPath)) << indexPath.item;
            EXPECT_EQ(cell->frame(), *view->frameForItem(indexPath));
        }
    }

    std::shared_ptr<CollectionView> view;
    std::shared_ptr<DataSource> source;
    int asked = 0;
};

TEST_F(ApplyTest, MovesKeepTheirCellsAndTheFewestItemsCountAsMoved) {
    source->apply(of({1, 2, 3, 4, 5, 6}), false);
    auto cellOf6 = view->cellAt({0, 5});
    auto snapshot = source->snapshot();
    snapshot.moveItemBefore(6, 1);
    snapshot.deleteItems({3});
    snapshot.insertItemsAfter({9}, 4);
    source->apply(snapshot);
    EXPECT_EQ(source->snapshot().itemIdentifiers(), (std::vector<int>{6, 1, 2, 4, 9, 5}));
    EXPECT_EQ(view->cellAt({0, 0}), cellOf6);
    EXPECT_EQ(asked, 7);  // only 9 is new
    const auto& difference = source->lastDifference();
    EXPECT_EQ(difference.moved, (std::vector<std::pair<IndexPath, IndexPath>>{{{0, 5}, {0, 0}}}));
    EXPECT_EQ(difference.deleted, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_EQ(difference.inserted, (std::vector<IndexPath>{{0, 4}}));
    expectCellsMatchItems();
}

TEST_F(ApplyTest, ReloadingOneItemAsksForOneCellAndLeavesTheRest) {
    std::vector<int> ids;
    for (int i = 0; i < 4000; ++i) ids.push_back(i);
    source->apply(of(ids), false);
    const int first = asked;
    auto kept = view->cellAt({0, 3});
    auto snapshot = source->snapshot();
    snapshot.reloadItems({2});
    source->apply(snapshot);
    EXPECT_EQ(asked, first + 1);
    EXPECT_EQ(view->cellAt({0, 3}), kept);
    EXPECT_EQ(source->lastDifference().reloaded, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_TRUE(source->lastDifference().moved.empty());
    snapshot = source->snapshot();
    snapshot.reloadItems({3999});  // out of view: nothing to ask for
    source->apply(snapshot);
    EXPECT_EQ(asked, first + 1);
    expectCellsMatchItems();
}

TEST_F(ApplyTest, RandomChangesKeepTheShownCellsRight) {
    std::mt19937 random(11);
    std::vector<int> ids;
    for (int i = 0; i < 60; ++i) ids.push_back(i);
    source->apply(of(ids), false);
    int next = 60;
    for (int round = 0; round < 50; ++round) {
        std::shuffle(ids.begin(), ids.begin() + 10, random);
        ids.erase(ids.begin() + static_cast<long>(random() % ids.size()));
        ids.insert(ids.begin() + static_cast<long>(random() % ids.size()), next++);
        auto snapshot = of(ids);
        snapshot.reloadItems({ids[random() % ids.size()]});
        source->apply(snapshot);
        view->setContentOffset({0, static_cast<double>(random() % 1000)});
        ASSERT_NO_FATAL_FAILURE(expectCellsMatchItems()) << "round " << round;
        ASSERT_EQ(view->numberOfItems(0), static_cast<int>(ids.size()));
    }
}

}  // namespace
}  // namespace ui
