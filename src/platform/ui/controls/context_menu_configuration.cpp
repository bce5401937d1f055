#include "platform/ui/controls/context_menu_configuration.h"

namespace ui {

std::shared_ptr<ContextMenuConfiguration> ContextMenuConfiguration::create(std::any identifier, PreviewProvider preview,
                                                                           ActionProvider actions) {
    auto configuration = std::shared_ptr<ContextMenuConfiguration>(new ContextMenuConfiguration());
    configuration->m_identifier = std::move(identifier);
    configuration->m_preview = std::move(preview);
    configuration->m_actions = std::move(actions);
    return configuration;
}

}  // namespace ui
