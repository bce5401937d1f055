#pragma once

#include <memory>

#include "platform/ui/views/view.h"
#include "toolkit/check_mark_style.h"

namespace reelhaven {

// A round selection mark drawn on demand: a blue filled circle with a white ring and tick when
// checked; when not, an empty white ring or a faded white filled circle with a tick. Setting a
// field does not redraw; the owner asks for display.
class CheckMark : public ui::View {
public:
    static std::shared_ptr<CheckMark> create(const ui::Rect& frame = {});
    static std::shared_ptr<CheckMark> createFromCoder() { return create(); }
    std::string className() const override { return "CheckMark"; }

    bool checkedBool = false;
    CheckMarkStyle checkMarkStyleReal = CheckMarkStyle::OpenCircle;

    // Draws into the current graphics context, always over the whole bounds.
    void draw(const ui::Rect& rect) override;

protected:
    explicit CheckMark(const ui::Rect& frame) : ui::View(frame) {}

private:
    void drawChecked(const ui::Color& fill);
    void drawOpenCircle();
};

}  // namespace reelhaven
