#pragma once

#include <memory>
#include <vector>

#include "platform/ui/scenes/scene_types.h"

namespace ui {

class Scene;
class SceneSession;
class UserActivity;

// What a scene tells its delegate (owned by the scene).
class SceneDelegate {
public:
    virtual ~SceneDelegate() = default;
    virtual void willConnect(Scene& /*scene*/, SceneSession& /*session*/, const ConnectionOptions& /*options*/) {}
    virtual void didDisconnect(Scene& /*scene*/) {}
    virtual void didBecomeActive(Scene& /*scene*/) {}
    virtual void willResignActive(Scene& /*scene*/) {}
    virtual void willEnterForeground(Scene& /*scene*/) {}
    virtual void didEnterBackground(Scene& /*scene*/) {}
    virtual void openURLContexts(Scene& /*scene*/, const std::vector<OpenURLContext>& /*contexts*/) {}
    virtual void continueUserActivity(Scene& /*scene*/, const UserActivity& /*activity*/) {}
    // After `willConnect`, when the session was saved with a restoration activity.
    virtual void restoreInteractionState(Scene& /*scene*/, const UserActivity& /*activity*/) {}
    // The activity saved with the session when the scene goes to the background.
    virtual std::shared_ptr<UserActivity> stateRestorationActivity(Scene& /*scene*/) { return nullptr; }
};

}  // namespace ui
