#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/scenes/application_delegate.h"

namespace reelhaven {

class DocumentsClient;
class MediaCenterService;
class ProgressClient;
class WebUploader;

// The application's delegate: it owns the shared services, each made on first use and kept for
// the life of the process, names the scene configuration, and saves the progress store when the
// application terminates. Windows, the library and opened URLs are the scene delegate's.
// Main thread only (the getters too, so they need no lock).
class AppDelegate : public ui::ApplicationDelegate {
public:
    static std::shared_ptr<AppDelegate> create() { return std::shared_ptr<AppDelegate>(new AppDelegate()); }

    // The AppDelegate of the shared application, or null when another delegate is installed.
    static std::shared_ptr<AppDelegate> shared();

    std::shared_ptr<DocumentsClient> documentsClient();
    // Loaded from "progressData" when it is made.
    std::shared_ptr<ProgressClient> progressClient();
    // Not activated here: the player activates it.
    std::shared_ptr<MediaCenterService> mediaCenterService();
    // The transfer server over the Documents folder, made but not started. Null while its page
    // bundle is missing or the Documents folder cannot be found (the next read tries again):
    // over an empty root it would serve the whole file system.
    std::shared_ptr<WebUploader> webServer();

    // mpv's audio output for the players the scenes present; empty: the default device.
    const std::string& playerAudioOutput() const { return m_playerAudioOutput; }
    void setPlayerAudioOutput(std::string name) { m_playerAudioOutput = std::move(name); }

    // Told the name of each service ("documentsClient", "progressClient", "mediaCenterService",
    // "webServer") right after its getter made it.
    std::function<void(std::string_view name)> onServiceCreated;

    bool didFinishLaunching(ui::Application& application) override;
    ui::SceneConfiguration configurationForConnecting(ui::Application& application, ui::SceneSession& session,
                                                      const ui::ConnectionOptions& options) override;
    void willTerminate(ui::Application& application) override;

private:
    AppDelegate() = default;
    void tellServiceCreated(std::string_view name) const {
        if (onServiceCreated) onServiceCreated(name);
    }

    std::shared_ptr<DocumentsClient> m_documentsClient;
    std::shared_ptr<ProgressClient> m_progressClient;
    std::shared_ptr<MediaCenterService> m_mediaCenterService;
    std::shared_ptr<WebUploader> m_webServer;
    std::string m_playerAudioOutput;
};

}  // namespace reelhaven
