#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/url.h"

namespace ui {

class SceneDelegate;
class UserActivity;

enum class SceneSessionRole { windowApplication, windowExternalDisplayNonInteractive };
enum class SceneActivationState { unattached = -1, foregroundActive = 0, foregroundInactive = 1, background = 2 };

// A scene configuration: its name, role, storyboard and the factory of its delegate.
struct SceneConfiguration {
    std::string name;
    SceneSessionRole role = SceneSessionRole::windowApplication;
    std::string storyboardName;
    std::function<std::shared_ptr<SceneDelegate>()> delegateFactory;
};

struct OpenURLOptions {
    bool openInPlace = false;
    std::string sourceApplication;
};

// A URL the system hands a scene, with how it was opened.
struct OpenURLContext {
    foundation::URL url;
    OpenURLOptions options;
};

// What a scene is connected with: URLs to open and activities to continue or restore.
struct ConnectionOptions {
    std::vector<OpenURLContext> urlContexts;
    std::vector<std::shared_ptr<UserActivity>> userActivities;
    std::optional<std::string> handoffUserActivityType;
};

}  // namespace ui
