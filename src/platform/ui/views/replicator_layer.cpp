#include "platform/ui/views/replicator_layer.h"

namespace ui {

std::shared_ptr<ReplicatorLayer> ReplicatorLayer::create() { return make<ReplicatorLayer>(); }

}  // namespace ui
