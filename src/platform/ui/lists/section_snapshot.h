#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/fatal.h"

namespace ui {

// The items of one section as a tree: items may have children, shown only while their parent is
// expanded. `visibleItems` is what the section shows. Value type.
template <typename Item, typename Hash = std::hash<Item>, typename Equal = std::equal_to<Item>>
class SectionSnapshot {
public:
    // Appends items at the root or under `parent`, which must be in the snapshot.
    void append(const std::vector<Item>& items, std::optional<Item> parent = std::nullopt) {
        if (parent && !contains(*parent)) fail("the parent is not in the section snapshot");
        for (const auto& item : items) {
            if (contains(item)) fail("item identifiers must be unique");
            m_nodes.emplace(item, Node{parent, {}, false});
            if (parent) {
                m_nodes.at(*parent).children.push_back(item);
            } else {
                m_roots.push_back(item);
            }
        }
    }
    // Deletes the items with everything below them.
    void deleteItems(const std::vector<Item>& items) {
        for (const auto& item : items) {
            const auto it = m_nodes.find(item);
            if (it == m_nodes.end()) continue;
            const auto children = it->second.children;
            deleteItems(children);
            auto& siblings = it->second.parent ? m_nodes.at(*it->second.parent).children : m_roots;
            for (auto s = siblings.begin(); s != siblings.end(); ++s) {
                if (Equal()(*s, item)) {
                    siblings.erase(s);
                    break;
                }
            }
            m_nodes.erase(item);
        }
    }
    void expand(const std::vector<Item>& items) { setExpanded(items, true); }
    void collapse(const std::vector<Item>& items) { setExpanded(items, false); }
    bool isExpanded(const Item& item) const {
        const auto it = m_nodes.find(item);
        return it != m_nodes.end() && it->second.expanded;
    }
    bool contains(const Item& item) const { return m_nodes.count(item) > 0; }
    std::optional<Item> parent(const Item& item) const {
        const auto it = m_nodes.find(item);
        return it == m_nodes.end() ? std::nullopt : it->second.parent;
    }
    int level(const Item& item) const {
        int depth = 0;
        for (auto p = parent(item); p; p = parent(*p)) ++depth;
        return depth;
    }
    const std::vector<Item>& rootItems() const { return m_roots; }
    // Every item, depth first.
    std::vector<Item> items() const {
        std::vector<Item> result;
        walk(m_roots, result, false);
        return result;
    }
    // The items shown: roots, and the children of expanded items, depth first.
    std::vector<Item> visibleItems() const {
        std::vector<Item> result;
        walk(m_roots, result, true);
        return result;
    }

private:
    struct Node {
        std::optional<Item> parent;
        std::vector<Item> children;
        bool expanded = false;
    };

    [[noreturn]] static void fail(const std::string& why) { base::fatal("Invalid section snapshot update: " + why); }
    void setExpanded(const std::vector<Item>& items, bool expanded) {
        for (const auto& item : items) {
            const auto it = m_nodes.find(item);
            if (it != m_nodes.end()) it->second.expanded = expanded;
        }
    }
    void walk(const std::vector<Item>& level, std::vector<Item>& out, bool onlyVisible) const {
        for (const auto& item : level) {
            out.push_back(item);
            const auto& node = m_nodes.at(item);
            if (!onlyVisible || node.expanded) walk(node.children, out, onlyVisible);
        }
    }

    std::vector<Item> m_roots;
    std::unordered_map<Item, Node, Hash, Equal> m_nodes;
};

}  // namespace ui
