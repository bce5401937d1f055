#pragma once

#include <memory>
#include <string>

#include "platform/ui/scenes/scene_types.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/views/object.h"

namespace ui {

class Scene;

// The persistent record of a scene: role, configuration, identifier and the activity that
// restores it.
class SceneSession : public Object {
public:
    static std::shared_ptr<SceneSession> create(SceneSessionRole role, std::string persistentIdentifier);
    std::string className() const override { return "SceneSession"; }

    SceneSessionRole role() const { return m_role; }
    const std::string& persistentIdentifier() const { return m_identifier; }
    const SceneConfiguration& configuration() const { return m_configuration; }
    void setConfiguration(SceneConfiguration configuration) { m_configuration = std::move(configuration); }
    std::shared_ptr<UserActivity> stateRestorationActivity() const { return m_restoration; }
    void setStateRestorationActivity(std::shared_ptr<UserActivity> activity) { m_restoration = std::move(activity); }
    std::shared_ptr<Scene> scene() const { return m_scene.lock(); }
    void setScene(const std::shared_ptr<Scene>& scene) { m_scene = scene; }

private:
    SceneSession(SceneSessionRole role, std::string identifier) : m_role(role), m_identifier(std::move(identifier)) {}

    SceneSessionRole m_role;
    std::string m_identifier;
    SceneConfiguration m_configuration;
    std::shared_ptr<UserActivity> m_restoration;
    std::weak_ptr<Scene> m_scene;
};

}  // namespace ui
