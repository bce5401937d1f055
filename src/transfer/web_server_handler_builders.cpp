// The convenience handler builders of WebServer: per method, exact path, regular expression,
// static data, one file, and a folder served under a base path.

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "transfer/web_server.h"
#include "transfer/web_server_data_response.h"
#include "transfer/web_server_error_response.h"
#include "transfer/web_server_file_response.h"
#include "transfer/web_server_functions.h"

namespace reelhaven {

namespace {

// Escapes only what may not stand in a URL at all; reserved characters ("/", "?", "&", "=") stay.
std::string lenientURLEscape(std::string_view text) {
    return WebServerPercentEscapeExcept(text, ":/?#[]@!$&'()*+,;=%");
}

std::shared_ptr<WebServerResponse> directoryListing(const std::string& path) {
    std::error_code error;
    std::map<std::string, bool> isFolder;
    for (std::filesystem::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.starts_with('.')) continue;
        auto status = it->symlink_status(error);
        if (error) break;
        if (status.type() == std::filesystem::file_type::regular) isFolder[name] = false;
        if (status.type() == std::filesystem::file_type::directory) isFolder[name] = true;
    }
    if (error) return nullptr;
    std::vector<std::string> names;
    for (const auto& entry : isFolder) names.push_back(entry.first);
    WebServerSortNamesForBrowsing(names);
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n<ul>\n";
    for (const auto& name : names) {
        std::string link = lenientURLEscape(name);
        // Names come from whoever fills the folder: never markup.
        std::string text = WebServerErrorResponse::escapeHTML(name);
        if (isFolder[name]) {
            html += "<li><a href=\"" + link + "/\">" + text + "/</a></li>\n";
        } else {
            html += "<li><a href=\"" + link + "\">" + text + "</a></li>\n";
        }
    }
    html += "</ul>\n</body></html>\n";
    return WebServerDataResponse::responseWithHTML(html);
}

}  // namespace

void WebServer::addDefaultHandlerForMethod(const std::string& method, RequestFactory factory,
                                           WebServerAsyncProcessBlock block) {
    addHandler(
        [method, factory](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            if (info.method != method) return nullptr;
            return factory(info);
        },
        std::move(block));
}

void WebServer::addHandlerForMethod(const std::string& method, const std::string& path, RequestFactory factory,
                                    WebServerAsyncProcessBlock block) {
    if (!path.starts_with('/') || !factory) return;
    addHandler(
        [method, path, factory](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            if (info.method != method || info.path.size() != path.size() ||
                !WebServerHasPrefixIgnoringCase(info.path, path)) {
                return nullptr;
            }
            return factory(info);
        },
        std::move(block));
}

void WebServer::addHandlerForMethodPathRegex(const std::string& method, const std::string& pattern,
                                             RequestFactory factory, WebServerAsyncProcessBlock block) {
    std::shared_ptr<const std::regex> expression;
    try {
        expression = std::make_shared<const std::regex>(pattern, std::regex::ECMAScript | std::regex::icase);
    } catch (const std::regex_error&) {
        return;
    }
    if (!factory) return;
    addHandler(
        [method, expression, factory](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            if (info.method != method) return nullptr;
            std::vector<std::string> captures;
            bool matched = false;
            for (std::sregex_iterator it(info.path.begin(), info.path.end(), *expression), end; it != end; ++it) {
                matched = true;
                for (std::size_t group = 1; group < it->size(); ++group) {
                    if ((*it)[group].matched) captures.push_back((*it)[group].str());
                }
            }
            if (!matched) return nullptr;
            auto request = factory(info);
            if (request) request->setAttribute("WebServerRequestAttribute_RegexCaptures", captures);
            return request;
        },
        std::move(block));
}

void WebServer::addGETHandlerForPathStaticData(const std::string& path, std::string data, std::string contentType,
                                               std::uint64_t cacheAge) {
    addHandlerForMethod("GET", path, requestFactory<WebServerRequest>(),
                        [data = std::move(data), contentType = std::move(contentType), cacheAge](
                            const std::shared_ptr<WebServerRequest>&, WebServerCompletionBlock completion) {
                            auto response = WebServerDataResponse::responseWithData(data, contentType);
                            response->setCacheControlMaxAge(cacheAge);
                            completion(response);
                        });
}

void WebServer::addGETHandlerForPathFilePath(const std::string& path, const std::string& filePath, bool isAttachment,
                                             std::uint64_t cacheAge, WebServerRanges ranges) {
    addHandlerForMethod("GET", path, requestFactory<WebServerRequest>(),
                        [filePath, isAttachment, cacheAge, ranges](const std::shared_ptr<WebServerRequest>& request,
                                                                   WebServerCompletionBlock completion) {
                            bool allowRanges = ranges == WebServerRanges::allowed;
                            auto response = WebServerFileResponse::responseWithFile(
                                filePath, allowRanges ? request->byteRange() : WebServerByteRange{},
                                isAttachment ? WebServerAttachment::attachment : WebServerAttachment::inline_);
                            if (response) {
                                response->setCacheControlMaxAge(cacheAge);
                                if (allowRanges) response->setValueForAdditionalHeader("bytes", "Accept-Ranges");
                            }
                            completion(response);
                        });
}

void WebServer::addGETHandlerForBasePath(const std::string& basePath, const std::string& directoryPath,
                                         std::optional<std::string> indexFilename, std::uint64_t cacheAge,
                                         WebServerRanges ranges) {
    if (!basePath.starts_with('/') || !basePath.ends_with('/')) return;
    addHandler(
        [basePath](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            if (info.method != "GET" || !info.path.starts_with(basePath)) return nullptr;
            return WebServerRequest::make<WebServerRequest>(info);
        },
        [basePath, directoryPath, indexFilename, cacheAge, ranges](const std::shared_ptr<WebServerRequest>& request,
                                                                   WebServerCompletionBlock completion) {
            std::string filePath =
                directoryPath + "/" + WebServerCleanPath(std::string_view(request->path()).substr(basePath.size()));
            std::shared_ptr<WebServerResponse> response;
            struct stat info {};
            if (::lstat(filePath.c_str(), &info) == 0) {
                if (S_ISDIR(info.st_mode)) {
                    struct stat index {};
                    std::string indexPath = indexFilename ? filePath + "/" + *indexFilename : std::string();
                    if (indexFilename && ::lstat(indexPath.c_str(), &index) == 0 && S_ISREG(index.st_mode)) {
                        response = WebServerFileResponse::responseWithFile(indexPath);
                        if (response) {
                            completion(response);  // an index file has no cache age
                            return;
                        }
                    } else {
                        response = directoryListing(filePath);
                    }
                } else if (S_ISREG(info.st_mode)) {
                    bool allowRanges = ranges == WebServerRanges::allowed;
                    response = WebServerFileResponse::responseWithFile(
                        filePath, allowRanges ? request->byteRange() : WebServerByteRange{});
                    if (response && allowRanges) response->setValueForAdditionalHeader("bytes", "Accept-Ranges");
                }
            }
            if (response) {
                response->setCacheControlMaxAge(cacheAge);
            } else {
                response = WebServerResponse::responseWithStatusCode(404);
            }
            completion(response);
        });
}

}  // namespace reelhaven
