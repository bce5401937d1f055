#include "transfer/web_uploader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

#include "platform/dispatch/queue.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/file_manager.h"
#include "transfer/web_server_body_writer.h"
#include "transfer/web_server_data_response.h"
#include "transfer/web_server_error_response.h"
#include "transfer/web_server_file_response.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_multi_part_form_request.h"
#include "transfer/web_server_url_encoded_form_request.h"
#include "transfer/web_server_utf8.h"
#include "transfer/web_uploader_listing.h"
#include "transfer/web_uploader_listing_order.h"
#include "transfer/web_uploader_names.h"
#include "transfer/web_uploader_staging.h"

namespace reelhaven {

namespace {

// The application's display name (else its name) and version, from the main bundle.
std::string applicationName() {
    const auto& bundle = foundation::Bundle::main();
    return bundle.objectForInfoDictionaryKey("CFBundleDisplayName")
        .value_or(bundle.objectForInfoDictionaryKey("CFBundleName").value_or(""));
}
std::string applicationVersion() {
    return foundation::Bundle::main().objectForInfoDictionaryKey("CFBundleShortVersionString").value_or("");
}

std::string quote(const std::string& text) { return "\"" + text + "\""; }

std::shared_ptr<WebServerResponse> clientError(int status, const std::string& message) {
    return WebServerErrorResponse::responseWithClientError(status, message);
}

// A system error as a client may see it: what went wrong, without the server's own paths (the
// message beside it names the item relative to the served folder).
foundation::Error publicError(const foundation::Error& error) {
    if (error.domain == foundation::kPOSIXErrorDomain) return {error.domain, error.code, std::strerror(error.code)};
    std::string description = error.description;
    for (std::size_t slash; (slash = description.find('/')) != std::string::npos;) {
        std::size_t end = description.find(' ', slash);
        description.replace(slash, end == std::string::npos ? std::string::npos : end - slash, "(path)");
    }
    return {error.domain, error.code, description};
}

// A failed file operation: 500, or the status its error stands for (a full disk 507, a name too
// long for the file system 400).
std::shared_ptr<WebServerResponse> serverError(const foundation::Error& error, const std::string& message) {
    int status = WebServerErrorStatus(error);
    if (status >= 400 && status < 500) {
        return WebServerErrorResponse::responseWithClientError(status, publicError(error), message);
    }
    return WebServerErrorResponse::responseWithServerError(status == 0 ? 500 : status, publicError(error), message);
}

std::shared_ptr<WebServerResponse> missingParameter(const std::string& name) {
    return clientError(400, "Missing " + quote(name) + " parameter");
}

std::shared_ptr<WebServerResponse> emptyJSON(const std::string& contentType = "application/json") {
    return WebServerDataResponse::responseWithJSONObject(nlohmann::json::object(), contentType);
}

const std::string* parameter(const std::map<std::string, std::string>& parameters, const std::string& name) {
    auto found = parameters.find(name);
    return found == parameters.end() ? nullptr : &found->second;
}

bool itemExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
}

// Fills each "%@" of a format in order.
std::string format(std::string text, const std::vector<std::string>& arguments) {
    std::size_t position = 0;
    for (const auto& argument : arguments) {
        position = text.find("%@", position);
        if (position == std::string::npos) break;
        text.replace(position, 2, argument);
        position += argument.size();
    }
    return text;
}

// A name a client may give an uploaded file: one path component, no NUL.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// Browsers name the page that sent a request in "Origin", and send a POST from any site's page
// without asking first: a page the user merely visits elsewhere must not change the library.
// Clients that send no origin (curl, scripts) are not browsers acting for another site.
bool comesFromAnotherSite(const WebServerRequest& request) {
    const std::string* origin = WebServerHeaderValue(request.headers(), "Origin");
    if (!origin) return false;
    const std::string* host = WebServerHeaderValue(request.headers(), "Host");
    if (!host) return true;
    // The scheme is part of the site: this server speaks plain http only, so a page served over
    // https under the same name is another site. The default port may be left out on either side.
    auto withoutDefaultPort = [](std::string text) {
        if (text.ends_with(":80")) text.resize(text.size() - 3);
        return text;
    };
    return withoutDefaultPort(WebServerLowercase(*origin)) != withoutDefaultPort("http://" + WebServerLowercase(*host));
}

}  // namespace

std::shared_ptr<WebUploader> WebUploader::create(const std::string& uploadDirectory, const std::string& bundlePath) {
    return createWith(uploadDirectory, bundlePath, [](const std::string& folder, WebUploaderBundle bundle) {
        return std::shared_ptr<WebUploader>(new WebUploader(folder, std::move(bundle)));
    });
}

std::shared_ptr<WebUploader> WebUploader::createWith(const std::string& uploadDirectory, const std::string& bundlePath,
                                                     const Maker& make) {
    // Every client path is taken relative to the root, so a root of "" or "." would serve
    // whatever folder the process runs in, and "" reached the whole file system.
    std::error_code error;
    if (uploadDirectory.empty() || uploadDirectory.front() != '/' ||
        !std::filesystem::is_directory(uploadDirectory, error)) {
        WebServerLog(base::LogLevel::error, [&] {
            return "Upload directory \"" + uploadDirectory + "\" is not an absolute path to a folder";
        });
        return nullptr;
    }
    auto bundle = WebUploaderBundle::open(bundlePath);
    if (!bundle) return nullptr;
    auto uploader = make(uploadDirectory, std::move(*bundle));
    uploader->registerHandlers();
    return uploader;
}

WebUploader::WebUploader(const std::string& uploadDirectory, WebUploaderBundle bundle)
    : WebServer("WebUploader"), m_files(uploadDirectory), m_bundle(std::move(bundle)) {}

std::size_t WebUploader::removeStaleFiles() {
    return WebServer::removeStaleFiles() + WebUploaderStaging::removeStale(uploadDirectory());
}

std::shared_ptr<WebServerResponse> WebUploader::refusalOfRequestHead(const WebServerRequest& request) const {
    // Every route that changes the library is a POST.
    if (request.method() == "POST" && comesFromAnotherSite(request)) {
        return clientError(403, "Changes sent by another site are not allowed");
    }
    return nullptr;
}

std::shared_ptr<WebUploaderDelegate> WebUploader::uploaderDelegate() const {
    return std::dynamic_pointer_cast<WebUploaderDelegate>(delegate());
}

template <typename Call>
void WebUploader::notify(Call call) {
    dispatch::Queue::main()->async([weak = std::weak_ptr<WebServer>(shared_from_this()), call] {
        auto server = std::static_pointer_cast<WebUploader>(weak.lock());
        if (!server) return;
        if (auto delegate = server->uploaderDelegate()) call(*delegate, *server);
    });
}

bool WebUploader::checkFileExtension(const std::string& name) const {
    if (!allowedFileExtensions) return true;
    std::string extension = WebServerLowercase(WebUploaderFileSystem::pathExtension(name));
    return std::find(allowedFileExtensions->begin(), allowedFileExtensions->end(), extension) !=
           allowedFileExtensions->end();
}

void WebUploader::registerHandlers() {
    // Handlers hold the uploader weakly: it owns them.
    std::weak_ptr<WebServer> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<WebUploader>(weak.lock()); };
    addGETHandlerForBasePath("/", m_bundle.path(), std::nullopt, 3600, WebServerRanges::notAllowed);
    addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.method == "GET" && info.path == "/" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [self](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            auto uploader = self();
            return uploader ? uploader->page() : nullptr;
        });
    auto route = [&](const std::string& method, const std::string& path, RequestFactory factory, auto handle) {
        addHandlerForMethod(
            method, path, std::move(factory),
            [self, handle](const std::shared_ptr<WebServerRequest>& request, WebServerCompletionBlock completion) {
                auto uploader = self();
                completion(uploader ? handle(*uploader, *request) : nullptr);
            });
    };
    route("GET", "/list", requestFactory<WebServerRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) { return uploader.listDirectory(request); });
    route("GET", "/download", requestFactory<WebServerRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) { return uploader.downloadFile(request); });
    route("POST", "/upload", requestFactory<WebServerMultiPartFormRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) {
              return uploader.uploadFile(static_cast<WebServerMultiPartFormRequest&>(request));
          });
    route("POST", "/move", requestFactory<WebServerURLEncodedFormRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) {
              return uploader.moveItem(static_cast<WebServerURLEncodedFormRequest&>(request));
          });
    route("POST", "/delete", requestFactory<WebServerURLEncodedFormRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) {
              return uploader.deleteItem(static_cast<WebServerURLEncodedFormRequest&>(request));
          });
    route("POST", "/create", requestFactory<WebServerURLEncodedFormRequest>(),
          [](WebUploader& uploader, WebServerRequest& request) {
              return uploader.createDirectory(static_cast<WebServerURLEncodedFormRequest&>(request));
          });
}

std::shared_ptr<WebServerResponse> WebUploader::page() {
    auto escape = WebServerErrorResponse::escapeHTML;
    std::string titleText = title.value_or(applicationName());
    std::vector<std::pair<std::string, std::string>> variables = {
        {"device", escape(hostName())},
        {"title", escape(titleText)},
        {"header", escape(header.value_or(titleText))},
        {"prologue", prologue.value_or(m_bundle.localizedString("PROLOGUE"))},
        {"epilogue", epilogue.value_or(m_bundle.localizedString("EPILOGUE"))},
        {"footer",
         footer.value_or(format(m_bundle.localizedString("FOOTER_FORMAT"), {applicationName(), applicationVersion()}))},
    };
    return WebServerDataResponse::responseWithHTMLTemplate(m_bundle.resourcePath("index.html"), variables);
}

std::shared_ptr<WebServerResponse> WebUploader::listDirectory(const WebServerRequest& request) {
    const std::string* relative = parameter(request.query(), "path");
    if (!relative) return missingParameter("path");
    std::string absolute = m_files.absolutePath(*relative);
    if (!itemExists(absolute) || !m_files.staysInside(absolute))
        return clientError(404, quote(*relative) + " does not exist");
    if (!isDirectory(absolute)) return clientError(400, quote(*relative) + " is not a directory");
    if (auto hidden = hiddenName(absolute)) {
        return clientError(403, "Listing directory name " + quote(*hidden) + " is not allowed");
    }
    auto entries = WebUploaderFileSystem::contentsOfDirectory(absolute);
    if (!entries) return serverError(entries.error(), "Failed listing directory " + quote(*relative));
    WebUploaderFileSystem::DirectoryContents shown = std::move(entries).value();
    std::erase_if(shown.entries, [&](const WebUploaderFileSystem::DirectoryContents::Entry& entry) {
        std::string name(shown.name(entry));
        return isHidden(name) || entry.type == WebUploaderFileSystem::EntryType::other ||
               (entry.type == WebUploaderFileSystem::EntryType::file && !checkFileExtension(name));
    });
    std::string prefix = *relative;
    if (!prefix.empty() && !prefix.ends_with('/')) prefix += '/';
    auto order = m_listingOrder.orderFor(absolute, shown);
    std::string json = WebUploaderListingJSON(shown, *order, prefix);
    return WebServerDataResponse::responseWithData(std::move(json), "application/json");
}

std::shared_ptr<WebServerResponse> WebUploader::downloadFile(const WebServerRequest& request) {
    const std::string* relative = parameter(request.query(), "path");
    if (!relative) return missingParameter("path");
    std::string absolute = m_files.absolutePath(*relative);
    if (!itemExists(absolute) || !m_files.staysInside(absolute))
        return clientError(404, quote(*relative) + " does not exist");
    if (isDirectory(absolute)) return clientError(400, quote(*relative) + " is a directory");
    std::string name = WebUploaderFileSystem::lastPathComponent(absolute);
    auto hidden = hiddenName(absolute);
    if (hidden || !checkFileExtension(name)) {
        return clientError(403, "Downlading file name " + quote(hidden.value_or(name)) + " is not allowed");
    }
    // No response (a link, or the file went away): the connection answers 500 and the delegate
    // hears nothing.
    auto response = WebServerFileResponse::responseWithFile(absolute, {}, WebServerAttachment::attachment);
    if (!response) return nullptr;
    notify([absolute](WebUploaderDelegate& delegate, WebUploader& uploader) {
        delegate.webUploaderDidDownloadFile(uploader, absolute);
    });
    return response;
}

std::shared_ptr<WebServerResponse> WebUploader::uploadFile(const WebServerMultiPartFormRequest& request) {
    auto file = request.firstFileForControlName("files[]");
    if (!file) return missingParameter("files[]");
    const std::string& fileName = file->fileName();
    // Browsers send names as UTF-8; other bytes would make a name no page can show or send back.
    if (!WebServerIsValidUTF8(fileName)) {
        return clientError(400, "Uploaded file name " + quote(fileName) + " is not valid UTF-8");
    }
    // Read as every route reads a name: escaped bytes stand for the name on disk a listing showed.
    std::string nameOnDisk = WebUploaderNames::unescaped(fileName).value_or(fileName);
    if (!isPlainName(nameOnDisk) || isHidden(nameOnDisk) || !checkFileExtension(nameOnDisk)) {
        return clientError(403, "Uploaded file name " + quote(fileName) + " is not allowed");
    }
    auto pathArgument = request.firstArgumentForControlName("path");
    // A NUL would cut the folder's path short in every system call: such a value counts as absent,
    // as it does in URL-encoded forms.
    if (!pathArgument || !pathArgument->string() || pathArgument->string()->find('\0') != std::string::npos)
        return missingParameter("path");
    const std::string& relative = *pathArgument->string();
    std::string folder = m_files.absolutePath(relative);
    // A missing folder makes the move below fail with its error, as for any failed move.
    if (!m_files.staysInside(folder)) return clientError(404, quote(relative) + " does not exist");
    if (auto hidden = hiddenName(folder)) {
        return clientError(403, "Uploading to folder name " + quote(*hidden) + " is not allowed");
    }
    std::string destination = WebUploaderFileSystem::uniquePath(folder + "/" + nameOnDisk);
    if (!shouldUploadFile(destination, file->temporaryPath())) {
        return clientError(403, "Uploading file " + quote(fileName) + " to " + quote(relative) + " is not permitted");
    }
    auto moved = WebUploaderFileSystem::moveToUniquePath(file->temporaryPath(), folder + "/" + nameOnDisk);
    if (!moved) return serverError(moved.error(), "Failed moving uploaded file to " + quote(relative));
    std::string final = moved.value();
    notify([final](WebUploaderDelegate& delegate, WebUploader& uploader) {
        delegate.webUploaderDidUploadFile(uploader, final);
    });
    auto* accept = WebServerHeaderValue(request.headers(), "Accept");
    bool wantsJSON = accept && WebServerLowercase(*accept).find("application/json") != std::string::npos;
    return emptyJSON(wantsJSON ? "application/json" : "text/plain; charset=utf-8");
}

std::shared_ptr<WebServerResponse> WebUploader::moveItem(const WebServerURLEncodedFormRequest& request) {
    const std::string* oldRelative = parameter(request.arguments(), "oldPath");
    const std::string* newRelative = parameter(request.arguments(), "newPath");
    if (!oldRelative) return missingParameter("oldPath");
    if (!newRelative) return missingParameter("newPath");
    std::string oldAbsolute = m_files.absolutePath(*oldRelative);
    if (!itemExists(oldAbsolute) || !m_files.staysInside(oldAbsolute)) {
        return clientError(404, quote(*oldRelative) + " does not exist");
    }
    if (auto hidden = hiddenName(oldAbsolute)) {
        return clientError(403, "Moving item name " + quote(*hidden) + " is not allowed");
    }
    std::string requested = m_files.absolutePath(*newRelative);
    if (m_files.isRoot(oldAbsolute) || m_files.isRoot(requested) || !m_files.staysInside(requested)) {
        std::string name =
            WebUploaderFileSystem::lastPathComponent(m_files.isRoot(oldAbsolute) ? oldAbsolute : requested);
        return clientError(403, "Moving to item name " + quote(name) + " is not allowed");
    }
    // An item moved onto its own name stays as it is; the name it holds is not taken by another.
    const bool ontoItself = WebUploaderFileSystem::isSameEntry(oldAbsolute, requested);
    std::string newAbsolute = ontoItself ? oldAbsolute : WebUploaderFileSystem::uniquePath(requested);
    std::string newName = WebUploaderFileSystem::lastPathComponent(newAbsolute);
    auto hidden = hiddenName(newAbsolute);
    if (hidden || (!isDirectory(oldAbsolute) && !checkFileExtension(newName))) {
        return clientError(403, "Moving to item name " + quote(hidden.value_or(newName)) + " is not allowed");
    }
    if (!ontoItself && m_files.movesFolderIntoItself(oldAbsolute, requested)) {
        return clientError(400, "Moving " + quote(*oldRelative) + " into itself is not possible");
    }
    if (!shouldMoveItem(oldAbsolute, newAbsolute)) {
        return clientError(403, "Moving " + quote(*oldRelative) + " to " + quote(*newRelative) + " is not permitted");
    }
    if (ontoItself) return emptyJSON();
    auto moved = WebUploaderFileSystem::moveToUniquePath(oldAbsolute, requested);
    if (!moved) {
        // Deleted since it was looked at (another request, or another program).
        if (!itemExists(oldAbsolute)) return clientError(404, quote(*oldRelative) + " does not exist");
        return serverError(moved.error(), "Failed moving " + quote(*oldRelative) + " to " + quote(*newRelative));
    }
    std::string final = moved.value();
    notify([oldAbsolute, final](WebUploaderDelegate& delegate, WebUploader& uploader) {
        delegate.webUploaderDidMoveItem(uploader, oldAbsolute, final);
    });
    return emptyJSON();
}

std::shared_ptr<WebServerResponse> WebUploader::deleteItem(const WebServerURLEncodedFormRequest& request) {
    const std::string* relative = parameter(request.arguments(), "path");
    if (!relative) return missingParameter("path");
    std::string absolute = m_files.absolutePath(*relative);
    if (!itemExists(absolute) || !m_files.staysInside(absolute))
        return clientError(404, quote(*relative) + " does not exist");
    std::string name = WebUploaderFileSystem::lastPathComponent(absolute);
    auto hidden = hiddenName(absolute);
    if (m_files.isRoot(absolute) || hidden || (!isDirectory(absolute) && !checkFileExtension(name))) {
        return clientError(403, "Deleting item name " + quote(hidden.value_or(name)) + " is not allowed");
    }
    if (!shouldDeleteItem(absolute)) return clientError(403, "Deleting " + quote(*relative) + " is not permitted");
    auto removed = foundation::FileManager::defaultManager().removeItem(foundation::URL::fileURLWithPath(absolute));
    if (!removed) return serverError(removed.error(), "Failed deleting " + quote(*relative));
    notify([absolute](WebUploaderDelegate& delegate, WebUploader& uploader) {
        delegate.webUploaderDidDeleteItem(uploader, absolute);
    });
    return emptyJSON();
}

std::shared_ptr<WebServerResponse> WebUploader::createDirectory(const WebServerURLEncodedFormRequest& request) {
    const std::string* relative = parameter(request.arguments(), "path");
    if (!relative) return missingParameter("path");
    std::string requested = m_files.absolutePath(*relative);
    std::string absolute = WebUploaderFileSystem::uniquePath(requested);
    std::string name = WebUploaderFileSystem::lastPathComponent(m_files.isRoot(requested) ? requested : absolute);
    auto hidden = hiddenName(absolute);
    if (m_files.isRoot(requested) || hidden || !m_files.staysInside(requested)) {
        return clientError(403, "Creating directory name " + quote(hidden.value_or(name)) + " is not allowed");
    }
    if (!shouldCreateDirectory(absolute)) {
        return clientError(403, "Creating directory " + quote(*relative) + " is not permitted");
    }
    auto created = WebUploaderFileSystem::createUniqueDirectory(requested);
    if (!created) return serverError(created.error(), "Failed creating directory " + quote(*relative));
    std::string final = created.value();
    notify([final](WebUploaderDelegate& delegate, WebUploader& uploader) {
        delegate.webUploaderDidCreateDirectory(uploader, final);
    });
    return emptyJSON();
}

}  // namespace reelhaven
