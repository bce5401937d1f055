#include "app/local_file.h"

#include <filesystem>
#include <system_error>

#include "core/local_file_kind.h"
#include "platform/base/escaped_text.h"

namespace reelhaven {

namespace {

foundation::Error localFileError(std::string description) {
    return {"LocalFileErrorDomain", 1, std::move(description)};
}

}  // namespace

bool isFileURLText(const std::string& text) {
    auto url = foundation::URL::parse(text);
    return url && url->scheme() == "file";
}

foundation::Result<LocalFile> openLocalFile(const std::string& text, std::string_view action) {
    std::string path;
    if (isFileURLText(text)) {
        path = foundation::URL::parse(text)->path();
    } else {
        std::error_code error;
        path = std::filesystem::absolute(text, error).lexically_normal().string();
        if (error) path.clear();
    }
    // A file URL names its file by an absolute path; anything else names nothing.
    auto file = foundation::OpenedFile::open(path.starts_with('/') ? path : std::string());
    if (file.kind() != LocalFileKind::regularFile) {
        return localFileError("cannot " + std::string(action) + " " + base::escapedText(text) + ": " +
                              std::string(localFileProblem(file.kind())));
    }
    return LocalFile{foundation::URL::fileURLWithPath(path), std::move(file)};
}

foundation::Result<foundation::URL> localFileURL(const std::string& text, std::string_view action) {
    auto file = openLocalFile(text, action);
    if (!file) return file.error();
    return file.value().url;
}

}  // namespace reelhaven
