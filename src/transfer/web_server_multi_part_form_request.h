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
// "multipart/mixed" part (several files under one field) goes through a nested parser. A body
// nested deeper than that is refused with 400.
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
    bool partBegin(const WebServerMultiPartHead& head);
    bool partData(std::string_view data);
    bool partEnd();
    bool storageFailed(const foundation::Error& error);  // false, remembering the first error
    foundation::Error argumentsTooLarge() const;         // 413

    std::size_t m_maxArgumentBytes;
    std::size_t m_argumentBytes = 0;
    std::unique_ptr<WebServerMIMEStreamParser> m_parser;
    // The part being read (nested "multipart/mixed" parts come through the same parser).
    std::optional<WebServerMultiPartHead> m_head;
    std::unique_ptr<WebServerTemporaryFile> m_file;
    std::string m_argument;
    // Why a part could not be kept (a full disk, fields over their cap): reported instead of a parse
    // failure.
    std::optional<foundation::Error> m_storageError;
    std::vector<std::shared_ptr<WebServerMultiPartArgument>> m_arguments;
    std::vector<std::shared_ptr<WebServerMultiPartFile>> m_files;
};

}  // namespace reelhaven
