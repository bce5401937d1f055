#include "platform/ui/main_thread_check.h"

#include <string>

#include "platform/base/fatal.h"

namespace ui {

void failOffMainThread(std::source_location where) {
    base::fatal(std::string(where.function_name()) + " called off the main thread", where);
}

}  // namespace ui
