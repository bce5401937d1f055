#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/ui/lists/index_path.h"

namespace ui {

// The state of a list: sections in order, each with its items in order. Items are told apart by
// `Hash` and `Equal` (as the platform tells them apart by hash and equality); an item or
// section may appear only once (a programming error otherwise). Items marked reloaded or
// reconfigured get new cells when the snapshot is applied. Value type.
//
// Every item's position is kept in an index, so lookups are constant time. The sections and
// items are shared between copies until one of them changes (copy on write): taking the applied
// snapshot, marking an item reloaded and applying it again costs the marks, not the list, which
// is what a library grid pays for every thumbnail it loads.
template <typename Section, typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class DiffableDataSourceSnapshot {
public:
    int numberOfSections() const { return static_cast<int>(m_data->sections.size()); }
    int numberOfItems() const { return static_cast<int>(m_data->location.size()); }
    int numberOfItems(const Section& section) const {
        const auto index = indexOfSection(section);
        return index ? numberOfItemsInSection(*index) : 0;
    }
    int numberOfItemsInSection(int index) const {
        if (index < 0 || index >= numberOfSections()) return 0;
        return static_cast<int>(m_data->sections[static_cast<size_t>(index)].items.size());
    }
    // The items of the section at `index` (which must be in range), without a copy.
    const std::vector<Item>& itemsInSection(int index) const {
        return m_data->sections[static_cast<size_t>(index)].items;
    }
    std::vector<Section> sectionIdentifiers() const {
        std::vector<Section> ids;
        for (const auto& s : m_data->sections) ids.push_back(s.id);
        return ids;
    }
    std::optional<Section> sectionIdentifierAt(int index) const {
        if (index < 0 || index >= numberOfSections()) return std::nullopt;
        return m_data->sections[static_cast<size_t>(index)].id;
    }
    std::vector<Item> itemIdentifiers() const {
        std::vector<Item> all;
        all.reserve(m_data->location.size());
        for (const auto& s : m_data->sections) all.insert(all.end(), s.items.begin(), s.items.end());
        return all;
    }
    std::vector<Item> itemIdentifiers(const Section& section) const {
        const auto index = indexOfSection(section);
        return index ? m_data->sections[static_cast<size_t>(*index)].items : std::vector<Item>{};
    }
    std::optional<int> indexOfSection(const Section& section) const {
        const auto& sections = m_data->sections;
        for (size_t i = 0; i < sections.size(); ++i) {
            if (sections[i].id == section) return static_cast<int>(i);
        }
        return std::nullopt;
    }
    // The item's position among all items of the snapshot.
    std::optional<int> indexOfItem(const Item& item) const {
        const auto path = indexPath(item);
        if (!path) return std::nullopt;
        int index = path->item;
        for (int s = 0; s < path->section; ++s) index += numberOfItemsInSection(s);
        return index;
    }
    std::optional<IndexPath> indexPath(const Item& item) const {
        const auto it = m_data->location.find(item);
        if (it == m_data->location.end()) return std::nullopt;
        return it->second;
    }
    std::optional<Item> item(const IndexPath& path) const {
        if (path.section < 0 || path.section >= numberOfSections()) return std::nullopt;
        const auto& items = m_data->sections[static_cast<size_t>(path.section)].items;
        if (path.item < 0 || path.item >= static_cast<int>(items.size())) return std::nullopt;
        return items[static_cast<size_t>(path.item)];
    }
    std::optional<Section> sectionIdentifier(const Item& item) const {
        const auto path = indexPath(item);
        if (!path) return std::nullopt;
        return m_data->sections[static_cast<size_t>(path->section)].id;
    }
    bool contains(const Item& item) const { return m_data->location.count(item) > 0; }
    // Whether the two hold the same sections and items because one is an unchanged copy of the
    // other (marks aside). False does not mean they differ.
    bool sharesItemsWith(const DiffableDataSourceSnapshot& other) const { return m_data == other.m_data; }

    void appendSections(const std::vector<Section>& sections) {
        auto& data = mutableData();
        for (const auto& s : sections) {
            if (indexOfSection(s)) fail("section identifiers must be unique");
            data.sections.push_back({s, {}});
        }
    }
    void insertSectionsBefore(const std::vector<Section>& sections, const Section& before) {
        insertSections(sections, before, 0);
    }
    void insertSectionsAfter(const std::vector<Section>& sections, const Section& after) {
        insertSections(sections, after, 1);
    }
    void deleteSections(const std::vector<Section>& sections) {
        auto& data = mutableData();
        for (const auto& s : sections) {
            const auto index = indexOfSection(s);
            if (!index) continue;
            for (const auto& item : data.sections[static_cast<size_t>(*index)].items) data.location.erase(item);
            data.sections.erase(data.sections.begin() + *index);
            renumberSectionsFrom(*index);
        }
        dropMarksOfMissingItems();
    }
    void reloadSections(const std::vector<Section>& sections) {
        for (const auto& s : sections) {
            const auto index = indexOfSection(s);
            if (!index) continue;
            for (const auto& item : m_data->sections[static_cast<size_t>(*index)].items) m_reloaded.push_back(item);
        }
    }
    // Appends to `section`, or to the last section; without any section it is a programming error.
    void appendItems(const std::vector<Item>& items, std::optional<Section> section = std::nullopt) {
        if (m_data->sections.empty()) fail("there are no sections to append items to");
        int index = numberOfSections() - 1;
        if (section) {
            const auto found = indexOfSection(*section);
            if (!found) fail("the section to append items to is not in the snapshot");
            index = *found;
        }
        auto& data = mutableData();
        auto& list = data.sections[static_cast<size_t>(index)].items;
        list.reserve(list.size() + items.size());
        for (const auto& item : items) {
            addToIndex(data, item, {index, static_cast<int>(list.size())});
            list.push_back(item);
        }
    }
    void insertItemsBefore(const std::vector<Item>& items, const Item& before) { insertItems(items, before, 0); }
    void insertItemsAfter(const std::vector<Item>& items, const Item& after) { insertItems(items, after, 1); }
    void deleteItems(const std::vector<Item>& items) {
        removeItems(items);
        dropMarksOfMissingItems();
    }
    void deleteAllItems() {
        m_data = std::make_shared<Data>();
        m_reloaded.clear();
        m_reconfigured.clear();
    }
    void moveItemBefore(const Item& item, const Item& before) { moveItem(item, before, 0); }
    void moveItemAfter(const Item& item, const Item& after) { moveItem(item, after, 1); }
    void reloadItems(const std::vector<Item>& items) { mark(items, m_reloaded); }
    void reconfigureItems(const std::vector<Item>& items) { mark(items, m_reconfigured); }
    const std::vector<Item>& reloadedItemIdentifiers() const { return m_reloaded; }
    const std::vector<Item>& reconfiguredItemIdentifiers() const { return m_reconfigured; }
    // Forgets the reload marks (done when the snapshot has been applied).
    void clearMarks() {
        m_reloaded.clear();
        m_reconfigured.clear();
    }

private:
    struct SectionEntry {
        Section id;
        std::vector<Item> items;
    };
    struct Data {
        std::vector<SectionEntry> sections;
        std::unordered_map<Item, IndexPath, Hash, Equal> location;
    };

    [[noreturn]] static void fail(const std::string& why) { base::fatal("Invalid snapshot update: " + why); }

    // The data for a change: this snapshot's own, copied first when another snapshot shares it.
    Data& mutableData() {
        if (m_data.use_count() > 1) m_data = std::make_shared<Data>(*m_data);
        return *m_data;
    }
    static void addToIndex(Data& data, const Item& item, IndexPath at) {
        if (!data.location.emplace(item, at).second) fail("item identifiers must be unique");
    }
    void renumber(int section, size_t from) {
        auto& data = *m_data;
        const auto& items = data.sections[static_cast<size_t>(section)].items;
        for (size_t i = from; i < items.size(); ++i) data.location[items[i]] = {section, static_cast<int>(i)};
    }
    void renumberSectionsFrom(int first) {
        for (int s = first; s < numberOfSections(); ++s) renumber(s, 0);
    }
    void insertSections(const std::vector<Section>& sections, const Section& anchor, int after) {
        const auto index = indexOfSection(anchor);
        if (!index) fail("the anchor section is not in the snapshot");
        auto& data = mutableData();
        int at = *index + after;
        for (const auto& s : sections) {
            if (indexOfSection(s)) fail("section identifiers must be unique");
            data.sections.insert(data.sections.begin() + at++, SectionEntry{s, {}});
        }
        renumberSectionsFrom(*index + after);
    }
    void insertItems(const std::vector<Item>& items, const Item& anchor, int after) {
        const auto path = indexPath(anchor);
        if (!path) fail("the anchor item is not in the snapshot");
        auto& data = mutableData();
        auto& list = data.sections[static_cast<size_t>(path->section)].items;
        const size_t at = static_cast<size_t>(path->item + after);
        for (const auto& item : items) addToIndex(data, item, {path->section, 0});
        list.insert(list.begin() + static_cast<long>(at), items.begin(), items.end());
        renumber(path->section, at);
    }
    void moveItem(const Item& item, const Item& anchor, int after) {
        if (Equal()(item, anchor)) return;
        if (!contains(item) || !contains(anchor)) fail("the moved item or its anchor is not in the snapshot");
        removeItems({item});  // a moved item keeps its marks
        insertItems({item}, anchor, after);
    }
    // One pass per touched section, however many items go.
    void removeItems(const std::vector<Item>& items) {
        std::vector<int> touched;
        std::unordered_set<Item, Hash, Equal> going;
        for (const auto& item : items) {
            const auto path = indexPath(item);
            if (!path) continue;
            going.insert(item);
            touched.push_back(path->section);
        }
        if (going.empty()) return;
        auto& data = mutableData();
        std::sort(touched.begin(), touched.end());
        touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
        for (const int section : touched) {
            auto& list = data.sections[static_cast<size_t>(section)].items;
            list.erase(std::remove_if(list.begin(), list.end(), [&](const Item& i) { return going.count(i) > 0; }),
                       list.end());
        }
        for (const auto& item : going) data.location.erase(item);
        for (const int section : touched) renumber(section, 0);
    }
    // An item deleted after it was marked has nothing left to reload.
    void dropMarksOfMissingItems() {
        for (auto* marks : {&m_reloaded, &m_reconfigured}) {
            marks->erase(std::remove_if(marks->begin(), marks->end(), [this](const Item& i) { return !contains(i); }),
                         marks->end());
        }
    }
    void mark(const std::vector<Item>& items, std::vector<Item>& into) {
        for (const auto& item : items) {
            if (!contains(item)) fail("a reloaded item is not in the snapshot");
            into.push_back(item);
        }
    }

    std::shared_ptr<Data> m_data = std::make_shared<Data>();
    std::vector<Item> m_reloaded;
    std::vector<Item> m_reconfigured;
};

}  // namespace ui
