#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/foundation/current_value_subject.h"
#include "platform/foundation/user_defaults.h"

namespace reelhaven {

// One setting: its user-defaults key and a publisher holding the current value. Reading never
// touches user defaults; setting publishes first (subscribers run at once, on the setting thread)
// and then writes the value through to user defaults.
template <typename T>
class GlobalSetting {
    static_assert(std::is_same_v<T, bool> || std::is_same_v<T, std::int64_t> || std::is_same_v<T, double> ||
                  std::is_same_v<T, std::string>);

public:
    // Starts with the stored value when there is one of this type, else with `defaultValue`.
    // Writes nothing: a value of another type stays stored until the setting is set.
    GlobalSetting(std::string key, T defaultValue, std::shared_ptr<foundation::UserDefaults> defaults)
        : m_key(std::move(key)),
          m_publisher(stored(*defaults, m_key).value_or(std::move(defaultValue))),
          m_defaults(std::move(defaults)) {}

    const std::string& key() const { return m_key; }
    T wrappedValue() const { return m_publisher.value(); }
    void setWrappedValue(T value) {
        m_publisher.send(value);
        write(std::move(value));
    }
    foundation::CurrentValueSubject<T>& publisher() { return m_publisher; }

private:
    static std::optional<T> stored(const foundation::UserDefaults& defaults, const std::string& key) {
        if constexpr (std::is_same_v<T, bool>) {
            return defaults.boolean(key);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
            return defaults.integer(key);
        } else if constexpr (std::is_same_v<T, double>) {
            return defaults.real(key);
        } else {
            return defaults.string(key);
        }
    }

    void write(T value) {
        if constexpr (std::is_same_v<T, bool>) {
            m_defaults->setBool(m_key, value);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
            m_defaults->setInteger(m_key, value);
        } else if constexpr (std::is_same_v<T, double>) {
            m_defaults->setDouble(m_key, value);
        } else {
            m_defaults->setString(m_key, std::move(value));
        }
    }

    const std::string m_key;
    foundation::CurrentValueSubject<T> m_publisher;
    const std::shared_ptr<foundation::UserDefaults> m_defaults;
};

}  // namespace reelhaven
