#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/passthrough_subject.h"
#include "platform/ui/controllers/view_controller.h"

namespace reelhaven {

// The bridge between the Open URL sheet and the screen that shows it: the sheet sends the typed
// address through `didChange` (synchronously, on the main thread) and closes itself through
// `host`. Main thread only.
class OpenURLDelegate {
public:
    static std::shared_ptr<OpenURLDelegate> create() { return std::make_shared<OpenURLDelegate>(); }

    // The controller that shows the sheet (held weakly).
    std::shared_ptr<ui::ViewController> host() const { return m_host.lock(); }
    void setHost(const std::shared_ptr<ui::ViewController>& host) { m_host = host; }

    foundation::PassthroughSubject<std::optional<std::string>> didChange;
    // The last address sent.
    std::optional<std::string> url;

private:
    std::weak_ptr<ui::ViewController> m_host;
};

}  // namespace reelhaven
