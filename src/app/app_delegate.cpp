#include "app/app_delegate.h"

#include "app/scene_delegate.h"
#include "core/documents_client.h"
#include "core/progress_client.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "playback/media_center_service.h"
#include "transfer/web_uploader.h"

namespace reelhaven {

std::shared_ptr<AppDelegate> AppDelegate::shared() {
    return std::dynamic_pointer_cast<AppDelegate>(ui::Application::shared().delegate());
}

std::shared_ptr<DocumentsClient> AppDelegate::documentsClient() {
    if (!m_documentsClient) {
        m_documentsClient = DocumentsClient::create();
        tellServiceCreated("documentsClient");
    }
    return m_documentsClient;
}

std::shared_ptr<ProgressClient> AppDelegate::progressClient() {
    // ProgressClient::create loads the file before it returns, so the field never holds a store
    // that has not read it.
    if (!m_progressClient) {
        m_progressClient = ProgressClient::create();
        tellServiceCreated("progressClient");
    }
    return m_progressClient;
}

std::shared_ptr<MediaCenterService> AppDelegate::mediaCenterService() {
    if (!m_mediaCenterService) {
        m_mediaCenterService = MediaCenterService::create();
        tellServiceCreated("mediaCenterService");
    }
    return m_mediaCenterService;
}

std::shared_ptr<WebUploader> AppDelegate::webServer() {
    if (m_webServer) return m_webServer;
    const auto documents = documentsClient()->documentsURL();
    if (documents.isEmpty()) return nullptr;
    m_webServer = WebUploader::create(documents.path());
    if (m_webServer) tellServiceCreated("webServer");
    return m_webServer;
}

bool AppDelegate::didFinishLaunching(ui::Application&) { return true; }

ui::SceneConfiguration AppDelegate::configurationForConnecting(ui::Application& application, ui::SceneSession& session,
                                                               const ui::ConnectionOptions& options) {
    auto configuration = ApplicationDelegate::configurationForConnecting(application, session, options);
    // What the scene manifest binds to "Default Configuration": application windows get the
    // scene delegate of the library.
    if (configuration.role == ui::SceneSessionRole::windowApplication)
        configuration.delegateFactory = [] { return SceneDelegate::create(); };
    return configuration;
}

void AppDelegate::willTerminate(ui::Application&) { progressClient()->save(); }

}  // namespace reelhaven
