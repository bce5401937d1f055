#pragma once

#include <memory>
#include <optional>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

// A bar showing progress from 0 to 1.
class ProgressView : public View {
public:
    static std::shared_ptr<ProgressView> create(const Rect& frame = {});
    std::string className() const override { return "ProgressView"; }
    // As wide as its constraints make it; a bar this tall.
    static constexpr double barHeight = 4;
    Size intrinsicContentSize() const override { return {noIntrinsicMetric, barHeight}; }

    float progress() const { return m_progress; }
    // Clamped to 0...1.
    void setProgress(float progress, bool animated = false);
    std::optional<Color> progressTintColor() const { return m_progressTint; }
    void setProgressTintColor(std::optional<Color> color) {
        checkMainThread();
        m_progressTint = std::move(color);
    }
    std::optional<Color> trackTintColor() const { return m_trackTint; }
    void setTrackTintColor(std::optional<Color> color) {
        checkMainThread();
        m_trackTint = std::move(color);
    }

protected:
    explicit ProgressView(const Rect& frame) : View(frame) {}

private:
    float m_progress = 0;
    std::optional<Color> m_progressTint;
    std::optional<Color> m_trackTint;
};

}  // namespace ui
