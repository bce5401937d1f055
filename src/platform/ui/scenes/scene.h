#pragma once

#include <memory>
#include <string>

#include "platform/ui/scenes/scene_delegate.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/views/responder.h"

namespace ui {

// A scene of the app: its session, delegate (owned) and activation state. The system (or a
// test) moves the state with `setActivationState`, which tells the delegate each step:
// unattached -> foregroundInactive -> foregroundActive -> foregroundInactive -> background.
class Scene : public Responder {
public:
    std::string className() const override { return "Scene"; }

    std::shared_ptr<SceneSession> session() const { return m_session; }
    std::shared_ptr<SceneDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<SceneDelegate> delegate) { m_delegate = std::move(delegate); }
    SceneActivationState activationState() const { return m_state; }
    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    std::shared_ptr<UserActivity> userActivity() const { return m_userActivity; }
    void setUserActivity(std::shared_ptr<UserActivity> activity) { m_userActivity = std::move(activity); }

    // Steps through the states between the current one and `state`, telling the delegate.
    void setActivationState(SceneActivationState state);
    // The system hands the scene URLs or an activity.
    void openURLs(const std::vector<OpenURLContext>& contexts);
    void continueUserActivity(const UserActivity& activity);
    void disconnect();

    // Restoration that takes longer than the connection: the delegate extends it and later
    // completes it. Both are recorded, so a test can see that every restoration is completed.
    void extendStateRestoration() { ++m_restorationExtensions; }
    void completeStateRestoration() { ++m_restorationCompletions; }
    int stateRestorationExtensions() const { return m_restorationExtensions; }
    int stateRestorationCompletions() const { return m_restorationCompletions; }
    bool isStateRestorationPending() const { return m_restorationCompletions < m_restorationExtensions; }

protected:
    explicit Scene(std::shared_ptr<SceneSession> session) : m_session(std::move(session)) {}

private:
    void step(SceneActivationState to);

    std::shared_ptr<SceneSession> m_session;
    std::shared_ptr<SceneDelegate> m_delegate;
    SceneActivationState m_state = SceneActivationState::unattached;
    std::string m_title;
    std::shared_ptr<UserActivity> m_userActivity;
    int m_restorationExtensions = 0;
    int m_restorationCompletions = 0;
};

}  // namespace ui
