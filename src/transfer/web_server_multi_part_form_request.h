#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transfer/web_server_mime_stream_parser.h"
#include "transfer/web_server_multi_part_argument.h"
#include "transfer/web_server_multi_part_file.h"
#include "transfer/web_server_request.h"
#include "transfer/web_server_temporary_file.h"

namespace reelhaven {

// A "multipart/form-data" request: fields become arguments in memory (at most
// `maxArgumentBytes` in all, with every part's head), file parts stream straight into temporary files, and a
// "multipart/mixed" part (several files under one field) goes through a nested parser.
class WebServerMultiPartFormRequest : public WebServerRequest {
public:
    static std::string mimeType() { return "multipart/form-data"; }
    static constexpr std::size_t kDefaultMaxArgumentBytes = 16 * 1024 * 1024;

    explicit WebServerMultiPartFormRequest(const WebServerRequestInfo& info,
                                           std::size_t maxArgumentBytes = kDefaultMaxArgumentBytes);
    ~WebServerMultiPartFormRequest() override;

    const std::vector<std::shared_ptr<WebServerMultiPartArgument>>& arguments() const { return m_arguments; }
    const std::vector<std::shared_ptr<WebServerMultiPartFile>>& files() const { return m_files; }
    std::shared_ptr<WebServerMultiPartArgument> firstArgumentForControlName(std::string_view name) const;
    std::shared_ptr<WebServerMultiPartFile> firstFileForControlName(std::string_view name) const;

    foundation::Status open() override;
    foundation::Status writeData(std::string_view data) override;
    foundation::Status close() override;
    std::string description() const override;

private:
    // One level of parsing: the top-level form, or a nested "multipart/mixed" part.
    struct Level {
        std::unique_ptr<WebServerMIMEStreamParser> parser;
        std::optional<WebServerMultiPartHead> head;  // the part being read
        std::unique_ptr<WebServerTemporaryFile> file;
        std::string argument;
        std::unique_ptr<Level> nested;
    };

    std::unique_ptr<Level> makeLevel(std::string_view boundary, std::optional<std::string> defaultControlName);
    bool partBegin(Level& level, const WebServerMultiPartHead& head);
    bool partData(Level& level, std::string_view data);
    bool partEnd(Level& level);
    bool storageFailed(const foundation::Error& error);  // false, remembering the first error

    std::size_t m_maxArgumentBytes;
    std::size_t m_argumentBytes = 0;
    std::unique_ptr<Level> m_root;
    // Why a file part could not be stored (a full disk, say): reported instead of a parse failure.
    std::optional<foundation::Error> m_storageError;
    std::vector<std::shared_ptr<WebServerMultiPartArgument>> m_arguments;
    std::vector<std::shared_ptr<WebServerMultiPartFile>> m_files;
};

}  // namespace reelhaven
