#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/animation.h"
#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/transform3d.h"

namespace ui {

// How rounded corners are drawn: circular arcs, or the smoother continuous curve.
enum class CornerCurve { circular, continuous };
// Which corners `cornerRadius` rounds (minimum/maximum x and y).
enum CornerMask : std::uint32_t {
    minXMinYCorner = 1 << 0,
    maxXMinYCorner = 1 << 1,
    minXMaxYCorner = 1 << 2,
    maxXMaxYCorner = 1 << 3,
    allCorners = 0xF,
};

// A layer: geometry, appearance, a mask, sublayers, its own time (speed, offset, begin) and the
// keyed animations added to it. Animations run on the main run loop's clock: each ends when the
// layer's time passes its end (then its delegate hears finished = true); removing one ends it at
// once with finished = false. A layer whose time stands still (speed 0 here or above) ends none.
// Main thread only.
class Layer : public Object {
public:
    static std::shared_ptr<Layer> create();
    ~Layer() override;
    std::string className() const override { return "Layer"; }

    // Geometry; the frame ignores the transform.
    Rect bounds() const { return m_bounds; }
    void setBounds(const Rect& bounds) {
        checkMainThread();
        m_bounds = bounds;
    }
    Point position() const { return m_position; }
    void setPosition(Point position) {
        checkMainThread();
        m_position = position;
    }
    Point anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(Point anchor) {
        checkMainThread();
        m_anchorPoint = anchor;
    }
    Rect frame() const;
    void setFrame(const Rect& frame);
    double zPosition() const { return m_zPosition; }
    void setZPosition(double z) {
        checkMainThread();
        m_zPosition = z;
    }
    Transform3D transform() const { return m_transform; }
    void setTransform(const Transform3D& transform) {
        checkMainThread();
        m_transform = transform;
    }

    // Appearance.
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity) {
        checkMainThread();
        m_opacity = opacity;
    }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) {
        checkMainThread();
        m_hidden = hidden;
    }
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) {
        checkMainThread();
        m_masksToBounds = masks;
        contentsChanged();
    }
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius) {
        checkMainThread();
        m_cornerRadius = radius;
        contentsChanged();
    }
    CornerCurve cornerCurve() const { return m_cornerCurve; }
    void setCornerCurve(CornerCurve curve) {
        checkMainThread();
        m_cornerCurve = curve;
        contentsChanged();
    }
    std::uint32_t maskedCorners() const { return m_maskedCorners; }
    void setMaskedCorners(std::uint32_t corners) {
        checkMainThread();
        m_maskedCorners = corners;
        contentsChanged();
    }
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width) {
        checkMainThread();
        m_borderWidth = width;
        contentsChanged();
    }
    std::optional<Color> borderColor() const { return m_borderColor; }
    void setBorderColor(std::optional<Color> color) {
        checkMainThread();
        m_borderColor = std::move(color);
        contentsChanged();
    }
    std::optional<Color> backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::optional<Color> color) {
        checkMainThread();
        m_backgroundColor = std::move(color);
        contentsChanged();
    }
    std::optional<Color> shadowColor() const { return m_shadowColor; }
    void setShadowColor(std::optional<Color> color) {
        checkMainThread();
        if (color == m_shadowColor) return;
        m_shadowColor = std::move(color);
        contentsChanged();
    }
    double shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(double opacity) {
        checkMainThread();
        if (opacity == m_shadowOpacity) return;
        m_shadowOpacity = opacity;
        contentsChanged();
    }
    Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(Size offset) {
        checkMainThread();
        if (offset == m_shadowOffset) return;
        m_shadowOffset = offset;
        contentsChanged();
    }
    double shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(double radius) {
        checkMainThread();
        if (radius == m_shadowRadius) return;
        m_shadowRadius = radius;
        contentsChanged();
    }
    // The shape the shadow is cast from, in the layer's own coordinates; none: its rounded
    // bounds. Cells set it on every layout pass: the same path again changes nothing.
    const std::optional<BezierPath>& shadowPath() const { return m_shadowPath; }
    void setShadowPath(std::optional<BezierPath> path) {
        checkMainThread();
        if (path == m_shadowPath) return;
        m_shadowPath = std::move(path);
        contentsChanged();
    }
    double contentsScale() const { return m_contentsScale; }
    void setContentsScale(double scale) {
        checkMainThread();
        m_contentsScale = scale;
    }
    bool shouldRasterize() const { return m_shouldRasterize; }
    void setShouldRasterize(bool rasterize) {
        checkMainThread();
        m_shouldRasterize = rasterize;
    }
    double rasterizationScale() const { return m_rasterizationScale; }
    void setRasterizationScale(double scale) {
        checkMainThread();
        m_rasterizationScale = scale;
    }
    const std::string& name() const { return m_name; }
    void setName(std::string name) {
        checkMainThread();
        m_name = std::move(name);
    }
    int displayRequests() const { return m_displayRequests; }
    void setNeedsDisplay() {
        checkMainThread();
        ++m_displayRequests;
        contentsChanged();
    }
    // Changes whenever what the layer itself draws may change: its background, corners, border
    // or shadow, a subclass's drawn properties, a display request; never for where or how opaque
    // it shows. No two layers share a version, so a painter's cache keyed on it cannot take a new
    // layer for one that is gone.
    std::uint64_t contentsVersion() const { return m_contentsVersion; }

    // The layer whose opacity masks this one.
    std::shared_ptr<Layer> mask() const { return m_mask; }
    void setMask(std::shared_ptr<Layer> mask);

    // Hierarchy.
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return m_sublayers; }
    std::shared_ptr<Layer> superlayer() const { return m_superlayer.lock(); }
    void addSublayer(const std::shared_ptr<Layer>& layer);
    void insertSublayer(const std::shared_ptr<Layer>& layer, size_t index);
    void removeFromSuperlayer();

    // Time. Local time = (parent time - beginTime) x speed + timeOffset, from the global media
    // time down through the superlayers.
    double speed() const { return m_speed; }
    void setSpeed(double speed);
    double timeOffset() const { return m_timeOffset; }
    void setTimeOffset(double offset);
    double beginTime() const { return m_beginTime; }
    void setBeginTime(double begin);
    // `time` in the time of `from` (the global media time when null) converted to this layer's.
    double convertTime(double time, const Layer* from) const;

    // Animations. Adding copies the animation; a duration of 0 takes the transaction's, a begin
    // time of 0 the layer's current time. A key in use replaces the animation under it.
    void addAnimation(const std::shared_ptr<Animation>& animation, const std::string& key);
    std::shared_ptr<Animation> animation(const std::string& key) const;
    std::vector<std::string> animationKeys() const;
    // Whether an animation of this layer is still running (not ended), keyed or not.
    bool isAnimating() const;
    // When each of its running animations ends, in global media time; one whose time stands
    // still (a layer of speed 0 above it) never ends and is left out.
    std::vector<double> animationEnds() const;
    void removeAnimation(const std::string& key);
    void removeAllAnimations();

    // The model value of a key path ("position", "bounds", "opacity", "transform",
    // "backgroundColor", "cornerRadius"; subclasses add theirs), or none for an unknown one.
    virtual std::optional<AnimationValue> modelValue(const std::string& keyPath) const;
    // The value as shown now: the model value moved by the animations of the key path.
    std::optional<AnimationValue> presentationValue(const std::string& keyPath) const;
    Point presentationPosition() const;
    double presentationOpacity() const;

protected:
    Layer() = default;
    void contentsChanged() { m_contentsVersion = nextContentsVersion(); }

private:
    struct Entry {
        std::string key;
        std::shared_ptr<Animation> animation;
        dispatch::RunLoop::TimerId timer = 0;
        bool ended = false;
        std::uint64_t serial = 0;
    };

    static std::uint64_t nextContentsVersion();
    std::optional<double> globalTimeForLocal(double local) const;
    double localTimeForGlobal(double global) const;
    void scheduleEnd(Entry& entry);
    void rescheduleAll();
    void endAnimation(std::uint64_t serial, bool finished);

    Rect m_bounds;
    Point m_position;
    Point m_anchorPoint{0.5, 0.5};
    double m_zPosition = 0;
    Transform3D m_transform;
    double m_opacity = 1;
    bool m_hidden = false;
    bool m_masksToBounds = false;
    double m_cornerRadius = 0;
    CornerCurve m_cornerCurve = CornerCurve::circular;
    std::uint32_t m_maskedCorners = allCorners;
    double m_borderWidth = 0;
    std::optional<Color> m_borderColor;
    std::optional<Color> m_backgroundColor;
    std::optional<Color> m_shadowColor = Color::black();
    double m_shadowOpacity = 0;
    Size m_shadowOffset{0, -3};
    double m_shadowRadius = 3;
    std::optional<BezierPath> m_shadowPath;
    double m_contentsScale = 1;
    bool m_shouldRasterize = false;
    double m_rasterizationScale = 1;
    std::string m_name;
    int m_displayRequests = 0;
    std::uint64_t m_contentsVersion = nextContentsVersion();
    std::shared_ptr<Layer> m_mask;
    std::vector<std::shared_ptr<Layer>> m_sublayers;
    std::weak_ptr<Layer> m_superlayer;
    double m_speed = 1;
    double m_timeOffset = 0;
    double m_beginTime = 0;
    std::vector<Entry> m_animations;
    std::uint64_t m_nextSerial = 1;
    std::weak_ptr<dispatch::RunLoop> m_loop;
};

}  // namespace ui
