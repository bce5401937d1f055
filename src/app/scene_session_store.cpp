#include "app/scene_session_store.h"

#include <system_error>

#include "platform/base/log.h"
#include "platform/foundation/json.h"
#include "platform/foundation/stored_file.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/scenes/user_activity_archive.h"

namespace reelhaven {

SceneSessionStore::SceneSessionStore(const std::filesystem::path& home)
    : m_file(home / "Library" / "Saved Application State" / "scene.json") {}

std::shared_ptr<ui::SceneSession> SceneSessionStore::load(bool restore) const {
    auto fresh = [] {
        return ui::SceneSession::create(ui::SceneSessionRole::windowApplication,
                                        ui::Application::shared().makeSessionIdentifier());
    };
    removeAbandonedTemporaries();
    foundation::StoredFile file(fileURL());
    auto text = file.read();
    if (!text) {
        base::log(base::LogLevel::warning, "SceneSessionStore", text.error().description + "; starting a new session");
        return fresh();
    }
    if (!text.value()) return fresh();
    auto json = foundation::JsonCoding::parse(*text.value());
    auto identifier =
        json ? foundation::JsonCoding::decodeIfPresent<std::string>(json.value(), "identifier") : std::nullopt;
    if (!identifier || identifier->empty()) {
        // Set aside for a look, and not read again.
        const auto copy = file.keepDamagedCopy(*text.value());
        std::error_code error;
        std::filesystem::remove(m_file, error);
        base::log(base::LogLevel::warning, "SceneSessionStore",
                  "the kept scene session in " + m_file.string() + " cannot be read; starting a new one" +
                      (copy ? " (kept as " + *copy + ")" : std::string()));
        return fresh();
    }
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, *identifier);
    if (auto activity = json.value().find("restorationActivity"); restore && activity != json.value().end())
        session->setStateRestorationActivity(ui::unarchiveUserActivity(*activity));
    return session;
}

foundation::Status SceneSessionStore::save(const ui::SceneSession& session) const {
    foundation::Json json{{"identifier", session.persistentIdentifier()}};
    if (auto activity = session.stateRestorationActivity())
        json["restorationActivity"] = ui::archiveUserActivity(*activity);
    std::error_code error;
    std::filesystem::create_directories(m_file.parent_path(), error);
    if (error) return foundation::Error::posix(error.value(), "create " + m_file.parent_path().string());
    // Whole or not at all: a failed write (a full disk) leaves the old file and no temporary.
    return foundation::StoredFile(fileURL()).write(foundation::JsonCoding::dumpPretty(json));
}

foundation::URL SceneSessionStore::fileURL() const { return foundation::URL::fileURLWithPath(m_file.string()); }

void SceneSessionStore::removeAbandonedTemporaries() const {
    (void)foundation::StoredFile(fileURL()).removeAbandonedTemporaries();
    // Earlier saves wrote through this one fixed name; a full disk could leave it empty.
    std::error_code error;
    const std::filesystem::path legacy = m_file.string() + ".tmp";
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(legacy, error)))
        std::filesystem::remove(legacy, error);
}

}  // namespace reelhaven
