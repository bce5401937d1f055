#include "transfer/web_uploader_staging.h"

#include <filesystem>
#include <vector>

#include "platform/foundation/uuid.h"
#include "transfer/web_server_process_run.h"

namespace reelhaven {

namespace {

// What `newName` puts after the run: a UUID in its canonical form.
bool isStagingSuffix(std::string_view rest) { return rest.size() == 36 && foundation::UUID::parse(rest).has_value(); }

}  // namespace

std::string WebUploaderStaging::newName() {
    return std::string(kPrefix) + WebServerProcessRun::current() + "-" + foundation::UUID::random().uuidString();
}

std::size_t WebUploaderStaging::removeStale(const std::string& root) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::size_t removed = 0;
    std::vector<fs::path> stale;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with(kPrefix)) continue;
        // Only a name of exactly the form this program makes: the user's own ".WebServer-notes"
        // is theirs.
        auto named = WebServerProcessRun::ownerOf(std::string_view(name).substr(kPrefix.size()));
        if (!named || !isStagingSuffix(named->rest)) continue;
        it.disable_recursion_pending();  // a staged folder goes as a whole
        if (named->owner == WebServerProcessRun::Owner::ended) stale.push_back(it->path());
    }
    for (const auto& path : stale) {
        std::error_code removeError;
        if (fs::remove_all(path, removeError) != static_cast<std::uintmax_t>(-1) && !removeError) ++removed;
    }
    return removed;
}

}  // namespace reelhaven
