#pragma once

#include <memory>

#include "platform/ui/scenes/scene_types.h"

namespace ui {

class Application;
class SceneSession;

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunching(Application& /*application*/) { return true; }
    virtual SceneConfiguration configurationForConnecting(Application& /*application*/, SceneSession& session,
                                                          const ConnectionOptions& /*options*/);
    virtual void willTerminate(Application& /*application*/) {}
    virtual void didReceiveMemoryWarning(Application& /*application*/) {}
};

}  // namespace ui
