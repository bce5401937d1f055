#pragma once

#include <memory>
#include <string>

#include "platform/base/fatal.h"

namespace reelhaven {

// The view an interface file connected to a screen; one that is missing is a programming error.
template <typename T>
std::shared_ptr<T> outlet(const std::weak_ptr<T>& connected, const std::string& name) {
    auto view = connected.lock();
    if (!view) base::fatal("the outlet " + name + " is not connected");
    return view;
}

}  // namespace reelhaven
