#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/data.h"
#include "platform/foundation/json.h"

namespace foundation {

// The kind of value stored under a key, so a reader can tell a value of another type.
enum class DefaultsValueType { none, boolean, integer, real, string, data, array, dictionary };

// A typed key-value store persisted as JSON in Library/Preferences/<suite>.json. Every change is
// written through at once, atomically (temporary file + rename). Values read from the file when
// the store is made; changes made to the file afterwards are not seen. Only a regular file is
// read; a damaged one gives the settings that stand whole and is kept aside by time. Thread safe.
//
// Stored forms: booleans, integers, reals and strings as their JSON kinds; data as
// {"$data": "<base64>"}; arrays and dictionaries as JSON arrays and objects.
class UserDefaults {
public:
    // The suite of the app, "com.qvrm.reelhaven".
    static constexpr const char* kStandardSuite = "com.qvrm.reelhaven";

    // The standard store of the current container (one per container folder); fatal when no
    // container is installed.
    static std::shared_ptr<UserDefaults> standard();
    // A store kept in `file` (created on the first write).
    static std::shared_ptr<UserDefaults> create(std::filesystem::path file);

    const std::filesystem::path& file() const { return m_file; }

    DefaultsValueType type(const std::string& key) const;
    bool contains(const std::string& key) const { return type(key) != DefaultsValueType::none; }

    // Typed reads: nothing when the key is missing or holds another type. `integer` reads only
    // integers; `real` reads reals and integers; nothing converts between numbers and booleans
    // or strings.
    std::optional<bool> boolean(const std::string& key) const;
    std::optional<std::int64_t> integer(const std::string& key) const;
    std::optional<double> real(const std::string& key) const;
    std::optional<std::string> string(const std::string& key) const;
    std::optional<Data> data(const std::string& key) const;
    std::optional<Json> array(const std::string& key) const;
    std::optional<Json> dictionary(const std::string& key) const;
    // The stored JSON form, whatever its type.
    std::optional<Json> object(const std::string& key) const;

    void setBool(const std::string& key, bool value);
    void setInteger(const std::string& key, std::int64_t value);
    void setDouble(const std::string& key, double value);
    void setString(const std::string& key, std::string value);
    void setData(const std::string& key, const Data& value);
    // Arrays and dictionaries (other JSON values are stored as given; null removes the key).
    void setObject(const std::string& key, Json value);
    void removeObject(const std::string& key);

    std::vector<std::string> keys() const;
    // Whether the last write reached the disk (writes never throw).
    bool lastWriteSucceeded() const;

private:
    explicit UserDefaults(std::filesystem::path file);
    void load();
    void storeWithLock(const std::string& key, Json value);
    void persistWithLock();

    const std::filesystem::path m_file;
    mutable std::mutex m_mutex;
    Json m_values = Json::object();
    bool m_lastWriteSucceeded = true;
};

}  // namespace foundation
