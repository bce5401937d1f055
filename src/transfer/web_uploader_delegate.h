#pragma once

#include <string>

#include "transfer/web_server_delegate.h"

namespace reelhaven {

class WebUploader;

// Told of every successful change the uploader makes, on the main queue, with absolute paths.
class WebUploaderDelegate : public WebServerDelegate {
public:
    virtual void webUploaderDidDownloadFile(WebUploader& /*uploader*/, const std::string& /*path*/) {}
    virtual void webUploaderDidUploadFile(WebUploader& /*uploader*/, const std::string& /*path*/) {}
    virtual void webUploaderDidMoveItem(WebUploader& /*uploader*/, const std::string& /*fromPath*/,
                                        const std::string& /*toPath*/) {}
    virtual void webUploaderDidDeleteItem(WebUploader& /*uploader*/, const std::string& /*path*/) {}
    virtual void webUploaderDidCreateDirectory(WebUploader& /*uploader*/, const std::string& /*path*/) {}
};

}  // namespace reelhaven
