#include "platform/ui/views/layer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/ui/animation/media_time.h"
#include "platform/ui/animation/transaction.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<Layer> Layer::create() { return make<Layer>(); }

std::uint64_t Layer::nextContentsVersion() {
    // Layers may be made off the main thread (before they are shown).
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

Layer::~Layer() {
    if (auto loop = m_loop.lock()) {
        for (const auto& entry : m_animations) {
            if (entry.timer) loop->cancel(entry.timer);
        }
    }
}

Rect Layer::frame() const {
    return Rect(m_position.x - m_anchorPoint.x * m_bounds.size.width,
                m_position.y - m_anchorPoint.y * m_bounds.size.height, m_bounds.size.width, m_bounds.size.height);
}

void Layer::setFrame(const Rect& frame) {
    checkMainThread();
    const Rect f = frame.standardized();
    m_bounds.size = f.size;
    m_position = {f.origin.x + m_anchorPoint.x * f.size.width, f.origin.y + m_anchorPoint.y * f.size.height};
}

void Layer::setMask(std::shared_ptr<Layer> mask) {
    checkMainThread();
    m_mask = std::move(mask);
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer) {
    checkMainThread();
    insertSublayer(layer, m_sublayers.size());
}

void Layer::insertSublayer(const std::shared_ptr<Layer>& layer, size_t index) {
    checkMainThread();
    if (!layer || layer.get() == this) return;
    auto keep = layer;
    layer->removeFromSuperlayer();
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + static_cast<long>(index), layer);
    layer->m_superlayer = sharedAs<Layer>();
    layer->rescheduleAll();
}

void Layer::removeFromSuperlayer() {
    checkMainThread();
    auto parent = m_superlayer.lock();
    if (!parent) return;
    auto& siblings = parent->m_sublayers;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; }),
                   siblings.end());
    m_superlayer.reset();
    rescheduleAll();
}

void Layer::setSpeed(double speed) {
    checkMainThread();
    m_speed = speed;
    rescheduleAll();
}

void Layer::setTimeOffset(double offset) {
    checkMainThread();
    m_timeOffset = offset;
    rescheduleAll();
}

void Layer::setBeginTime(double begin) {
    checkMainThread();
    m_beginTime = begin;
    rescheduleAll();
}

double Layer::localTimeForGlobal(double global) const {
    std::vector<const Layer*> chain;
    for (const Layer* l = this; l; l = l->m_superlayer.lock().get()) chain.push_back(l);
    double t = global;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        t = (t - (*it)->m_beginTime) * (*it)->m_speed + (*it)->m_timeOffset;
    }
    return t;
}

std::optional<double> Layer::globalTimeForLocal(double local) const {
    double t = local;
    for (const Layer* l = this; l; l = l->m_superlayer.lock().get()) {
        if (l->m_speed == 0) return std::nullopt;
        t = (t - l->m_timeOffset) / l->m_speed + l->m_beginTime;
    }
    return t;
}

double Layer::convertTime(double time, const Layer* from) const {
    double global = time;
    if (from) {
        const auto g = from->globalTimeForLocal(time);
        if (!g) return from->m_timeOffset;
        global = *g;
    }
    return localTimeForGlobal(global);
}

void Layer::addAnimation(const std::shared_ptr<Animation>& animation, const std::string& key) {
    checkMainThread();
    if (!animation) return;
    auto copy = animation->copy();
    if (copy->duration == 0) copy->duration = Transaction::animationDuration();
    if (copy->beginTime == 0) copy->beginTime = convertTime(currentMediaTime(), nullptr);
    if (auto group = Transaction::currentCompletionGroup()) copy->completionGroups.push_back(group);
    for (const auto& group : copy->completionGroups) group->join();
    if (!key.empty()) removeAnimation(key);
    Entry entry;
    entry.key = key;
    entry.animation = copy;
    entry.serial = m_nextSerial++;
    m_animations.push_back(entry);
    scheduleEnd(m_animations.back());
    if (auto delegate = copy->delegate.lock()) delegate->animationDidStart(copy);
}

std::shared_ptr<Animation> Layer::animation(const std::string& key) const {
    for (const auto& entry : m_animations) {
        if (!key.empty() && entry.key == key) return entry.animation;
    }
    return nullptr;
}

std::vector<std::string> Layer::animationKeys() const {
    std::vector<std::string> keys;
    for (const auto& entry : m_animations) {
        if (!entry.key.empty()) keys.push_back(entry.key);
    }
    return keys;
}

bool Layer::isAnimating() const {
    return std::any_of(m_animations.begin(), m_animations.end(), [](const Entry& e) { return !e.ended; });
}

std::vector<double> Layer::animationEnds() const {
    std::vector<double> ends;
    for (const auto& entry : m_animations) {
        if (entry.ended) continue;
        const auto& animation = *entry.animation;
        if (auto end = globalTimeForLocal(animation.beginTime + animation.activeDuration())) ends.push_back(*end);
    }
    return ends;
}

void Layer::removeAnimation(const std::string& key) {
    checkMainThread();
    for (const auto& entry : m_animations) {
        if (entry.key == key) {
            endAnimation(entry.serial, false);
            return;
        }
    }
}

void Layer::removeAllAnimations() {
    checkMainThread();
    std::vector<std::uint64_t> serials;
    for (const auto& entry : m_animations) serials.push_back(entry.serial);
    for (auto serial : serials) endAnimation(serial, false);
}

void Layer::scheduleEnd(Entry& entry) {
    checkMainThread();
    auto loop = dispatch::RunLoop::main();
    if (auto old = m_loop.lock(); old && entry.timer) old->cancel(entry.timer);
    entry.timer = 0;
    if (entry.ended) return;
    m_loop = loop;
    const auto endGlobal = globalTimeForLocal(entry.animation->beginTime + entry.animation->activeDuration());
    if (!endGlobal) return;  // this layer's time stands still
    const double wait = std::max(0.0, *endGlobal - currentMediaTime());
    const auto serial = entry.serial;
    std::weak_ptr<Layer> weak = sharedAs<Layer>();
    entry.timer = loop->schedule(loop->now() + dispatch::seconds(wait), [weak, serial] {
        if (auto layer = weak.lock()) layer->endAnimation(serial, true);
    });
}

void Layer::rescheduleAll() {
    checkMainThread();
    for (auto& entry : m_animations) scheduleEnd(entry);
    for (const auto& sublayer : m_sublayers) sublayer->rescheduleAll();
    if (m_mask) m_mask->rescheduleAll();
}

void Layer::endAnimation(std::uint64_t serial, bool finished) {
    checkMainThread();
    const auto it =
        std::find_if(m_animations.begin(), m_animations.end(), [serial](const Entry& e) { return e.serial == serial; });
    if (it == m_animations.end()) return;
    auto animation = it->animation;
    const bool alreadyEnded = it->ended;
    if (it->timer) {
        if (auto loop = m_loop.lock()) loop->cancel(it->timer);
        it->timer = 0;
    }
    if (finished && !animation->isRemovedOnCompletion) {
        it->ended = true;
    } else {
        m_animations.erase(it);
    }
    if (alreadyEnded) return;
    if (auto delegate = animation->delegate.lock()) delegate->animationDidStop(animation, finished);
    for (const auto& group : animation->completionGroups) group->leave(finished);
}

std::optional<AnimationValue> Layer::modelValue(const std::string& keyPath) const {
    if (keyPath == "position") return m_position;
    if (keyPath == "bounds") return m_bounds;
    if (keyPath == "opacity") return m_opacity;
    if (keyPath == "transform") return m_transform;
    if (keyPath == "cornerRadius") return m_cornerRadius;
    if (keyPath == "backgroundColor") return m_backgroundColor.value_or(Color::clear());
    return std::nullopt;
}

std::optional<AnimationValue> Layer::presentationValue(const std::string& keyPath) const {
    auto model = modelValue(keyPath);
    if (!model) return std::nullopt;
    AnimationValue value = *model;
    const double local = localTimeForGlobal(currentMediaTime());
    for (const auto& entry : m_animations) {
        const auto& animation = *entry.animation;
        if (animation.keyPath() != keyPath) continue;
        const double t = local - animation.beginTime;
        const bool fillsBackwards = animation.fillMode == FillMode::backwards || animation.fillMode == FillMode::both;
        const bool fillsForwards = animation.fillMode == FillMode::forwards || animation.fillMode == FillMode::both;
        double progress = 0;
        if (t < 0) {
            if (!fillsBackwards) continue;
            progress = animation.progressAt(0);
        } else if (entry.ended || t > animation.activeDuration()) {
            if (!fillsForwards) continue;
            progress = animation.progressAt(animation.activeDuration());
        } else {
            progress = animation.progressAt(t);
        }
        if (auto moved = animation.valueAt(progress, value)) value = *moved;
    }
    return value;
}

Point Layer::presentationPosition() const {
    const auto value = presentationValue("position");
    if (value && std::holds_alternative<Point>(*value)) return std::get<Point>(*value);
    return m_position;
}

double Layer::presentationOpacity() const {
    const auto value = presentationValue("opacity");
    if (value && std::holds_alternative<double>(*value)) return std::get<double>(*value);
    return m_opacity;
}

}  // namespace ui
