#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace reelhaven {

// Whether the text the user gave names a local file by a "file:" URL rather than by a path.
bool isFileURLText(const std::string& text);

// The file a path or a "file:" URL given to the launcher names, as a file URL (a path made
// absolute, its links kept), for `action` ("open", "import", "play"). Only a regular file passes:
// anything else is refused with a message that names the text, escaped as printed text is, and
// what it names: "cannot open /tmp/films: it is a folder, not a file".
foundation::Result<foundation::URL> localFileURL(const std::string& text, std::string_view action);

}  // namespace reelhaven
