#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Where the general pasteboard keeps its strings when they are not the process's own: a window
// puts the desktop's clipboard here, so what other programs copied is what the app pastes.
class PasteboardStore {
public:
    virtual ~PasteboardStore() = default;
    virtual std::vector<std::string> strings() const = 0;
    virtual bool hasStrings() const { return !strings().empty(); }
    virtual void setStrings(const std::vector<std::string>& strings) = 0;
};

// The system's general pasteboard, for text: what the user copied last, as a list of strings
// (several items may be copied at once). Every change counts up `changeCount`. Without a store
// the strings are the process's own (headless; tests stand for another app by setting strings);
// with one they are the store's. Thread safe while it holds its own strings; a store may ask
// for the main thread (the desktop's clipboard does).
class Pasteboard {
public:
    static Pasteboard& general();

    std::vector<std::string> strings() const;
    // The first string, if any.
    std::optional<std::string> string() const;
    bool hasStrings() const;
    void setStrings(std::vector<std::string> strings);
    void setString(std::string text) { setStrings({std::move(text)}); }
    void clear() { setStrings({}); }
    long changeCount() const;

    // Puts `store` in the place of the process's own strings; none puts them back (as they were).
    void setStore(std::shared_ptr<PasteboardStore> store);
    // What the store holds changed from outside (another program copied): counts up `changeCount`.
    void storeDidChange();

private:
    Pasteboard() = default;

    mutable std::mutex m_mutex;
    std::shared_ptr<PasteboardStore> m_store;  // guarded by m_mutex
    std::vector<std::string> m_strings;        // guarded by m_mutex
    long m_changeCount = 0;                    // guarded by m_mutex
};

}  // namespace ui
