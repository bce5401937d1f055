#include "app/scene_session_store.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/base/log.h"
#include "platform/foundation/json.h"
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
    std::ifstream stream(m_file);
    if (!stream) return fresh();
    std::stringstream text;
    text << stream.rdbuf();
    auto json = foundation::JsonCoding::parse(text.str());
    auto identifier =
        json ? foundation::JsonCoding::decodeIfPresent<std::string>(json.value(), "identifier") : std::nullopt;
    if (!identifier || identifier->empty()) {
        base::log(base::LogLevel::warning, "SceneSessionStore",
                  "the kept scene session in " + m_file.string() + " cannot be read; starting a new one");
        std::error_code error;
        std::filesystem::rename(m_file, m_file.string() + ".corrupt", error);
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
    const auto temporary = m_file.string() + ".tmp";
    {
        std::ofstream stream(temporary, std::ios::trunc);
        stream << foundation::JsonCoding::dumpPretty(json);
        stream.flush();
        if (!stream) return foundation::Error::posix(errno ? errno : EIO, "write " + temporary);
    }
    std::filesystem::rename(temporary, m_file, error);
    if (error) return foundation::Error::posix(error.value(), "rename " + temporary);
    return {};
}

}  // namespace reelhaven
