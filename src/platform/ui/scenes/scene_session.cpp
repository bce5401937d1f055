#include "platform/ui/scenes/scene_session.h"

namespace ui {

std::shared_ptr<SceneSession> SceneSession::create(SceneSessionRole role, std::string persistentIdentifier) {
    return std::shared_ptr<SceneSession>(new SceneSession(role, std::move(persistentIdentifier)));
}

}  // namespace ui
