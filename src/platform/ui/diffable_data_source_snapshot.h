#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/ui/index_path.h"

namespace ui {

// The state of a list: sections in order, each with its items in order. Items are told apart by
// `Hash` and `Equal` (as the platform tells them apart by hash and equality); an item or
// section may appear only once (a programming error otherwise). Items marked reloaded or
// reconfigured get new cells when the snapshot is applied. Value type.
template <typename Section, typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class DiffableDataSourceSnapshot {
public:
    int numberOfSections() const { return static_cast<int>(m_sections.size()); }
    int numberOfItems() const { return static_cast<int>(m_location.size()); }
    int numberOfItems(const Section& section) const { return static_cast<int>(itemIdentifiers(section).size()); }
    std::vector<Section> sectionIdentifiers() const {
        std::vector<Section> ids;
        for (const auto& s : m_sections) ids.push_back(s.id);
        return ids;
    }
    std::vector<Item> itemIdentifiers() const {
        std::vector<Item> all;
        for (const auto& s : m_sections) all.insert(all.end(), s.items.begin(), s.items.end());
        return all;
    }
    std::vector<Item> itemIdentifiers(const Section& section) const {
        const auto index = indexOfSection(section);
        return index ? m_sections[static_cast<size_t>(*index)].items : std::vector<Item>{};
    }
    std::optional<int> indexOfSection(const Section& section) const {
        for (size_t i = 0; i < m_sections.size(); ++i) {
            if (m_sections[i].id == section) return static_cast<int>(i);
        }
        return std::nullopt;
    }
    // The item's position among all items of the snapshot.
    std::optional<int> indexOfItem(const Item& item) const {
        const auto path = indexPath(item);
        if (!path) return std::nullopt;
        int index = path->item;
        for (int s = 0; s < path->section; ++s)
            index += static_cast<int>(m_sections[static_cast<size_t>(s)].items.size());
        return index;
    }
    std::optional<IndexPath> indexPath(const Item& item) const {
        const auto it = m_location.find(item);
        if (it == m_location.end()) return std::nullopt;
        const auto& items = m_sections[static_cast<size_t>(it->second)].items;
        for (size_t i = 0; i < items.size(); ++i) {
            if (Equal()(items[i], item)) return IndexPath{it->second, static_cast<int>(i)};
        }
        return std::nullopt;
    }
    std::optional<Item> item(const IndexPath& path) const {
        if (path.section < 0 || path.section >= numberOfSections()) return std::nullopt;
        const auto& items = m_sections[static_cast<size_t>(path.section)].items;
        if (path.item < 0 || path.item >= static_cast<int>(items.size())) return std::nullopt;
        return items[static_cast<size_t>(path.item)];
    }
    std::optional<Section> sectionIdentifier(const Item& item) const {
        const auto it = m_location.find(item);
        if (it == m_location.end()) return std::nullopt;
        return m_sections[static_cast<size_t>(it->second)].id;
    }
    bool contains(const Item& item) const { return m_location.count(item) > 0; }

    void appendSections(const std::vector<Section>& sections) {
        for (const auto& s : sections) {
            if (indexOfSection(s)) fail("section identifiers must be unique");
            m_sections.push_back({s, {}});
        }
    }
    void insertSectionsBefore(const std::vector<Section>& sections, const Section& before) {
        insertSections(sections, before, 0);
    }
    void insertSectionsAfter(const std::vector<Section>& sections, const Section& after) {
        insertSections(sections, after, 1);
    }
    void deleteSections(const std::vector<Section>& sections) {
        for (const auto& s : sections) {
            const auto index = indexOfSection(s);
            if (!index) continue;
            m_sections.erase(m_sections.begin() + *index);
        }
        reindex();
        dropMarksOfMissingItems();
    }
    void reloadSections(const std::vector<Section>& sections) {
        for (const auto& s : sections) {
            for (const auto& item : itemIdentifiers(s)) m_reloaded.push_back(item);
        }
    }
    // Appends to `section`, or to the last section; without any section it is a programming error.
    void appendItems(const std::vector<Item>& items, std::optional<Section> section = std::nullopt) {
        if (m_sections.empty()) fail("there are no sections to append items to");
        int index = numberOfSections() - 1;
        if (section) {
            const auto found = indexOfSection(*section);
            if (!found) fail("the section to append items to is not in the snapshot");
            index = *found;
        }
        for (const auto& item : items) {
            addItem(item, index);
            m_sections[static_cast<size_t>(index)].items.push_back(item);
        }
    }
    void insertItemsBefore(const std::vector<Item>& items, const Item& before) { insertItems(items, before, 0); }
    void insertItemsAfter(const std::vector<Item>& items, const Item& after) { insertItems(items, after, 1); }
    void deleteItems(const std::vector<Item>& items) {
        for (const auto& item : items) removeItem(item);
        dropMarksOfMissingItems();
    }
    void deleteAllItems() {
        m_sections.clear();
        m_location.clear();
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

    [[noreturn]] static void fail(const std::string& why) {
        base::fatal("Invalid snapshot update: " + why);
    }
    void addItem(const Item& item, int section) {
        if (!m_location.emplace(item, section).second) fail("item identifiers must be unique");
    }
    void reindex() {
        m_location.clear();
        for (size_t s = 0; s < m_sections.size(); ++s)
            for (const auto& item : m_sections[s].items) m_location.emplace(item, static_cast<int>(s));
    }
    void insertSections(const std::vector<Section>& sections, const Section& anchor, int after) {
        const auto index = indexOfSection(anchor);
        if (!index) fail("the anchor section is not in the snapshot");
        int at = *index + after;
        for (const auto& s : sections) {
            if (indexOfSection(s)) fail("section identifiers must be unique");
            m_sections.insert(m_sections.begin() + at++, SectionEntry{s, {}});
        }
        reindex();
    }
    void insertItems(const std::vector<Item>& items, const Item& anchor, int after) {
        const auto path = indexPath(anchor);
        if (!path) fail("the anchor item is not in the snapshot");
        auto& list = m_sections[static_cast<size_t>(path->section)].items;
        int at = path->item + after;
        for (const auto& item : items) {
            addItem(item, path->section);
            list.insert(list.begin() + at++, item);
        }
    }
    void moveItem(const Item& item, const Item& anchor, int after) {
        if (Equal()(item, anchor)) return;
        if (!contains(item) || !contains(anchor)) fail("the moved item or its anchor is not in the snapshot");
        removeItem(item);  // a moved item keeps its marks
        insertItems({item}, anchor, after);
    }
    void removeItem(const Item& item) {
        const auto path = indexPath(item);
        if (!path) return;
        auto& list = m_sections[static_cast<size_t>(path->section)].items;
        list.erase(list.begin() + path->item);
        m_location.erase(item);
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

    std::vector<SectionEntry> m_sections;
    std::unordered_map<Item, int, Hash, Equal> m_location;
    std::vector<Item> m_reloaded;
    std::vector<Item> m_reconfigured;
};

}  // namespace ui
