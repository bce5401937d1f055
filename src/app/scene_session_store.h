#pragma once

#include <filesystem>
#include <memory>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace ui {
class SceneSession;
}

namespace reelhaven {

// Keeps the app's window-scene session from one run of the launcher to the next, as the system
// keeps a scene's session: its identifier and the activity that restores it, in
// "Library/Saved Application State/scene.json" of the container. Main thread.
class SceneSessionStore {
public:
    explicit SceneSessionStore(const std::filesystem::path& home);

    // The kept session, its activity dropped unless `restore`; a new session when none was kept
    // or the file cannot be read (a broken file is reported and set aside by time, never fatal;
    // only a regular file is read). Temporaries of saves that were killed are removed first.
    std::shared_ptr<ui::SceneSession> load(bool restore) const;
    // Written whole (a temporary file renamed over the old one), so a crash never leaves half
    // and a failed write leaves the old file and no temporary.
    foundation::Status save(const ui::SceneSession& session) const;

    const std::filesystem::path& file() const { return m_file; }

private:
    foundation::URL fileURL() const;
    void removeAbandonedTemporaries() const;

    std::filesystem::path m_file;
};

}  // namespace reelhaven
