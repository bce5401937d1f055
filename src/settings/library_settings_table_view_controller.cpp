#include "settings/library_settings_table_view_controller.h"

#include "platform/base/fatal.h"

namespace reelhaven {

const std::shared_ptr<VideoManager>& LibrarySettingsTableViewController::requireVideoManager() const {
    if (!m_videoManager) base::fatal(className() + " was used without its video manager");
    return m_videoManager;
}

}  // namespace reelhaven
