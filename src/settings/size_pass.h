#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace reelhaven {

class DocumentsClient;

// The sizes a settings screen shows, measured once each time its view loads: off the main
// thread on the settings work queue, shown on the main queue. The pass holds its screen weakly
// and never makes it strong off the main thread, so a screen closed before it ends is neither
// kept alive nor updated (and never destroyed on the work queue).
class SizePass {
public:
    using Measure = std::function<std::vector<std::string>()>;
    using Show = std::function<void(const std::vector<std::string>&)>;

    // Runs `measure` unless `screen` is gone by then, then `show` with its texts on the main
    // queue unless `screen` is gone by then.
    static void start(const std::weak_ptr<const void>& screen, Measure measure, Show show);

    // The allocated size of the Documents folder over its whole tree (an unreadable folder
    // counts as 0 bytes), in the file count style's words.
    static std::string librarySizeText(DocumentsClient& client);
    // The allocated size of the files directly in Caches, in the same words.
    static std::string cacheSizeText(DocumentsClient& client);
};

}  // namespace reelhaven
