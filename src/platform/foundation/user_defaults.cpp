#include "platform/foundation/user_defaults.h"

#include <map>

#include "platform/base/fatal.h"
#include "platform/base/log.h"
#include "platform/foundation/base64.h"
#include "platform/foundation/container.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/json_salvage.h"
#include "platform/foundation/stored_file.h"

namespace foundation {

namespace {

constexpr const char* kDataKey = "$data";

bool isData(const Json& value) {
    return value.is_object() && value.size() == 1 && value.contains(kDataKey) && value[kDataKey].is_string();
}

DefaultsValueType typeOf(const Json& value) {
    switch (value.type()) {
        case Json::value_t::boolean: return DefaultsValueType::boolean;
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned: return DefaultsValueType::integer;
        case Json::value_t::number_float: return DefaultsValueType::real;
        case Json::value_t::string: return DefaultsValueType::string;
        case Json::value_t::array: return DefaultsValueType::array;
        case Json::value_t::object: return isData(value) ? DefaultsValueType::data : DefaultsValueType::dictionary;
        default: return DefaultsValueType::none;
    }
}

}  // namespace

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    auto container = Container::current();
    if (!container) base::fatal("UserDefaults::standard() without a container");
    auto file = container->folder(SearchPathDirectory::preferences) / (std::string(kStandardSuite) + ".json");
    // One store per file, so every user of one container sees one set of values. Never destroyed:
    // other threads may still read a value while the process exits.
    static std::mutex mutex;
    static auto& stores = *new std::map<std::filesystem::path, std::shared_ptr<UserDefaults>>();
    std::lock_guard lock(mutex);
    auto& store = stores[file];
    if (!store) store = create(file);
    return store;
}

std::shared_ptr<UserDefaults> UserDefaults::create(std::filesystem::path file) {
    std::shared_ptr<UserDefaults> defaults(new UserDefaults(std::move(file)));
    defaults->load();
    return defaults;
}

UserDefaults::UserDefaults(std::filesystem::path file) : m_file(std::move(file)) {}

void UserDefaults::load() {
    std::lock_guard lock(m_mutex);
    StoredFile file(URL::fileURLWithPath(m_file.string()));
    (void)file.removeAbandonedTemporaries();
    auto text = file.read();
    if (!text) {
        // Not a regular file, or too large: the values start empty and the next change replaces it.
        base::log(base::LogLevel::error, "foundation", "defaults not read: " + text.error().description);
        return;
    }
    if (!text.value()) return;
    // Settings are read one by one, so a cut-off file keeps the ones before the cut.
    auto salvaged = salvageJsonObject(*text.value(), 0);
    if (salvaged) m_values = std::move(salvaged->object);
    if (salvaged && !salvaged->damaged()) return;
    // Keep the damaged file aside rather than lose what the next change leaves out.
    auto copy = file.keepDamagedCopy(*text.value());
    base::log(base::LogLevel::error, "foundation",
              "damaged defaults" + std::string(salvaged ? ", read what stands whole" : "") +
                  (copy ? "; kept as " + *copy : std::string()));
}

DefaultsValueType UserDefaults::type(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(key);
    return it == m_values.end() ? DefaultsValueType::none : typeOf(*it);
}

std::optional<Json> UserDefaults::object(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto it = m_values.find(key);
    if (it == m_values.end()) return std::nullopt;
    return *it;
}

std::optional<bool> UserDefaults::boolean(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->is_boolean()) return std::nullopt;
    return value->get<bool>();
}

std::optional<std::int64_t> UserDefaults::integer(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    return JsonCoding::decodeIfPresent<std::int64_t>(m_values, key);
}

std::optional<double> UserDefaults::real(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    return JsonCoding::decodeIfPresent<double>(m_values, key);
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    return JsonCoding::decodeIfPresent<std::string>(m_values, key);
}

std::optional<Data> UserDefaults::data(const std::string& key) const {
    auto value = object(key);
    if (!value || !isData(*value)) return std::nullopt;
    return Base64::decode((*value)[kDataKey].get<std::string>());
}

std::optional<Json> UserDefaults::array(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->is_array()) return std::nullopt;
    return value;
}

std::optional<Json> UserDefaults::dictionary(const std::string& key) const {
    auto value = object(key);
    if (!value || typeOf(*value) != DefaultsValueType::dictionary) return std::nullopt;
    return value;
}

void UserDefaults::setBool(const std::string& key, bool value) { setObject(key, Json(value)); }
void UserDefaults::setInteger(const std::string& key, std::int64_t value) { setObject(key, Json(value)); }
void UserDefaults::setDouble(const std::string& key, double value) { setObject(key, Json(value)); }
void UserDefaults::setString(const std::string& key, std::string value) { setObject(key, Json(std::move(value))); }
void UserDefaults::setData(const std::string& key, const Data& value) {
    setObject(key, Json{{kDataKey, Base64::encode(value)}});
}

void UserDefaults::setObject(const std::string& key, Json value) {
    std::lock_guard lock(m_mutex);
    storeWithLock(key, std::move(value));
}

void UserDefaults::removeObject(const std::string& key) { setObject(key, Json()); }

std::vector<std::string> UserDefaults::keys() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> result;
    for (auto it = m_values.begin(); it != m_values.end(); ++it) result.push_back(it.key());
    return result;
}

bool UserDefaults::lastWriteSucceeded() const {
    std::lock_guard lock(m_mutex);
    return m_lastWriteSucceeded;
}

void UserDefaults::storeWithLock(const std::string& key, Json value) {
    if (value.is_null()) {
        if (m_values.erase(key) == 0) return;
    } else {
        m_values[key] = std::move(value);
    }
    persistWithLock();
}

// Called with m_mutex held, so writes of one store never interleave and the file always holds
// the latest complete set of values.
void UserDefaults::persistWithLock() {
    auto& files = FileManager::defaultManager();
    URL url = URL::fileURLWithPath(m_file.string());
    Status status = files.createDirectory(url.deletingLastPathComponent(), Intermediates::create);
    if (status) status = StoredFile(url).write(JsonCoding::dumpPretty(m_values));
    m_lastWriteSucceeded = status.ok();
    if (!status) base::log(base::LogLevel::error, "foundation", "cannot write defaults: " + status.error().description);
}

}  // namespace foundation
