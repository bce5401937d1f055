#pragma once

#include <memory>
#include <string>

#include "settings/settings_screen_table_view_controller.h"

namespace reelhaven {

class ProgressClient;
class VideoManager;

// A settings screen that works on the library: it holds the root library's manager, through
// which it reaches Documents and Caches, and the progress store, both set by the screen that
// opens it before its view loads. Main thread.
class LibrarySettingsTableViewController : public SettingsScreenTableViewController {
public:
    const std::shared_ptr<VideoManager>& videoManager() const { return m_videoManager; }
    void setVideoManager(std::shared_ptr<VideoManager> manager) { m_videoManager = std::move(manager); }
    const std::shared_ptr<ProgressClient>& progressClient() const { return m_progressClient; }
    void setProgressClient(std::shared_ptr<ProgressClient> client) { m_progressClient = std::move(client); }

protected:
    using SettingsScreenTableViewController::SettingsScreenTableViewController;

    // The manager; a screen at work without one was opened wrongly, a programming error.
    const std::shared_ptr<VideoManager>& requireVideoManager() const;

private:
    std::shared_ptr<VideoManager> m_videoManager;
    std::shared_ptr<ProgressClient> m_progressClient;
};

}  // namespace reelhaven
