#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/error.h"
#include "platform/foundation/opened_file.h"
#include "platform/foundation/url.h"

namespace reelhaven {

// Whether the text the user gave names a local file by a "file:" URL rather than by a path.
bool isFileURLText(const std::string& text);

// A local file the launcher was given: its URL (a path made absolute, its links kept) and the
// file itself, opened once, so what was checked is what gets copied.
struct LocalFile {
    foundation::URL url;
    foundation::OpenedFile file;
};

// Opens the file a path or a "file:" URL given to the launcher names, for `action` ("open",
// "import", "play"). Only a regular file passes: anything else is refused with a message that
// names the text, escaped as printed text is, and what it names: "cannot open /tmp/films: it is
// a folder, not a file".
foundation::Result<LocalFile> openLocalFile(const std::string& text, std::string_view action);

// The same check, for a file used by its name (played where it lies): its URL.
foundation::Result<foundation::URL> localFileURL(const std::string& text, std::string_view action);

}  // namespace reelhaven
