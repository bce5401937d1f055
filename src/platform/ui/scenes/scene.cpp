#include "platform/ui/scenes/scene.h"

#include "platform/ui/scenes/application.h"

namespace ui {

void Scene::step(SceneActivationState to) {
    const auto from = m_state;
    m_state = to;
    auto d = m_delegate;
    using S = SceneActivationState;
    if (d) {
        if (from == S::foregroundActive && to == S::foregroundInactive) d->willResignActive(*this);
        if (from == S::background && to == S::foregroundInactive) d->willEnterForeground(*this);
        if (to == S::foregroundActive) d->didBecomeActive(*this);
        if (to == S::background) {
            d->didEnterBackground(*this);
            m_session->setStateRestorationActivity(d->stateRestorationActivity(*this));
        }
    }
    Application::shared().sceneDidChangeState(from, to);
}

void Scene::setActivationState(SceneActivationState state) {
    using S = SceneActivationState;
    while (m_state != state) {
        switch (m_state) {
            case S::unattached:
            case S::background: step(S::foregroundInactive); break;
            case S::foregroundInactive: step(state == S::foregroundActive ? S::foregroundActive : S::background); break;
            case S::foregroundActive: step(S::foregroundInactive); break;
        }
        if (state == S::unattached) break;
    }
}

void Scene::openURLs(const std::vector<OpenURLContext>& contexts) {
    if (m_delegate) m_delegate->openURLContexts(*this, contexts);
}

void Scene::continueUserActivity(const UserActivity& activity) {
    if (m_delegate) m_delegate->continueUserActivity(*this, activity);
}

void Scene::disconnect() {
    if (m_state != SceneActivationState::background && m_state != SceneActivationState::unattached)
        setActivationState(SceneActivationState::background);
    if (m_delegate) m_delegate->didDisconnect(*this);
    m_state = SceneActivationState::unattached;
}

}  // namespace ui
