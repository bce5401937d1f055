#pragma once

#include <memory>
#include <string>

namespace ui {

class ViewController;

// A transition from one controller of a storyboard to another, named in the storyboard.
struct StoryboardSegue {
    enum class Kind { show, present, popover };

    std::string identifier;
    Kind kind = Kind::show;
    std::weak_ptr<ViewController> source;
    std::shared_ptr<ViewController> destination;
};

}  // namespace ui
