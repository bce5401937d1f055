#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transfer/web_server.h"
#include "transfer/web_uploader_bundle.h"
#include "transfer/web_uploader_delegate.h"
#include "transfer/web_uploader_file_system.h"
#include "transfer/web_uploader_listing_order.h"

namespace reelhaven {

class WebServerMultiPartFormRequest;
class WebServerURLEncodedFormRequest;

// The server of the upload site over one folder: the page and its files from the page bundle, and
// JSON routes that list, download, upload, move, delete and create items under the folder. Every
// path a client sends is relative to the folder and can never leave it; moves and uploads never
// replace an item. Each success is reported to the delegate on the main queue.
class WebUploader : public WebServer {
public:
    // Nothing when the page bundle is missing, or when `uploadDirectory` is not the absolute path
    // of a folder.
    static std::shared_ptr<WebUploader> create(const std::string& uploadDirectory,
                                               const std::string& bundlePath = WebUploaderBundle::defaultPath());

    void setDelegate(std::weak_ptr<WebUploaderDelegate> delegate) { WebServer::setDelegate(std::move(delegate)); }
    std::shared_ptr<WebUploaderDelegate> uploaderDelegate() const;

    const std::string& uploadDirectory() const { return m_files.root(); }

    // Settings; change them before starting.
    bool allowHiddenItems = false;
    std::optional<std::vector<std::string>> allowedFileExtensions;  // lower case; nothing allows all
    std::optional<std::string> title, header, prologue, epilogue, footer;

protected:
    WebUploader(const std::string& uploadDirectory, WebUploaderBundle bundle);
    // How a subclass that answers the hooks is made: as `create` does, with `make` building the
    // subclass over the folder and the opened bundle.
    using Maker = std::function<std::shared_ptr<WebUploader>(const std::string& uploadDirectory, WebUploaderBundle)>;
    static std::shared_ptr<WebUploader> createWith(const std::string& uploadDirectory, const std::string& bundlePath,
                                                   const Maker& make);
    // Also the hidden copies that moves across filesystems left in the folder.
    std::size_t removeStaleFiles() override;
    // Changes sent from another site's page are refused before their body is read.
    std::shared_ptr<WebServerResponse> refusalOfRequestHead(const WebServerRequest& request) const override;

    // Subclass hooks; false answers 403.
    virtual bool shouldUploadFile(const std::string& /*path*/, const std::string& /*temporaryPath*/) { return true; }
    virtual bool shouldMoveItem(const std::string& /*fromPath*/, const std::string& /*toPath*/) { return true; }
    virtual bool shouldDeleteItem(const std::string& /*path*/) { return true; }
    virtual bool shouldCreateDirectory(const std::string& /*path*/) { return true; }

private:
    void registerHandlers();
    std::shared_ptr<WebServerResponse> page();
    std::shared_ptr<WebServerResponse> listDirectory(const WebServerRequest& request);
    std::shared_ptr<WebServerResponse> downloadFile(const WebServerRequest& request);
    std::shared_ptr<WebServerResponse> uploadFile(const WebServerMultiPartFormRequest& request);
    std::shared_ptr<WebServerResponse> moveItem(const WebServerURLEncodedFormRequest& request);
    std::shared_ptr<WebServerResponse> deleteItem(const WebServerURLEncodedFormRequest& request);
    std::shared_ptr<WebServerResponse> createDirectory(const WebServerURLEncodedFormRequest& request);

    bool isHidden(const std::string& name) const { return !allowHiddenItems && name.starts_with('.'); }
    // The hidden name on the way to `absolute` below the folder, unless hidden items are allowed:
    // a hidden folder hides everything in it on every route.
    std::optional<std::string> hiddenName(const std::string& absolute) const {
        return allowHiddenItems ? std::nullopt : m_files.hiddenComponent(absolute);
    }
    bool checkFileExtension(const std::string& name) const;
    template <typename Call>
    void notify(Call call);

    WebUploaderFileSystem m_files;
    WebUploaderBundle m_bundle;
    WebUploaderListingOrder m_listingOrder;
};

}  // namespace reelhaven
