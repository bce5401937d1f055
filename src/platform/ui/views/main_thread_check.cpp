#include "platform/ui/views/main_thread_check.h"

namespace ui {

void failOffMainThread(base::SourceLocation where) {
    base::fatal("an interface object was changed off the main thread", where);
}

}  // namespace ui
