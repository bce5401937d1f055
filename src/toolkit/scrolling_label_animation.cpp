// The animation half of ScrollingLabel: step sequences into key-frame animations, the edge mask,
// the completion loop and pausing.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/ui/animation/media_time.h"
#include "platform/ui/animation/transaction.h"
#include "platform/ui/views/graphics_context.h"
#include "platform/ui/views/screen.h"
#include "toolkit/gradient_setup_animation.h"
#include "toolkit/scrolling_label.h"

namespace reelhaven {

namespace {

const ui::Color transparent() { return ui::Color::clear(); }
const ui::Color opaque() { return ui::Color::black(); }

// A key time: a share of the whole, as a single-precision number. A whole of 0 (a sequence whose
// steps take no time) gives 0 rather than a NaN, so the animation stays well formed.
float keyTime(double time, double total) { return total > 0 ? static_cast<float>(time / total) : 0.0f; }

// The steps whose fade can be placed in time, with their indices in the sequence.
std::vector<std::pair<size_t, ScrollingLabelStep>> fadeableSteps(const std::vector<ScrollingLabelStep>& sequence) {
    std::vector<std::pair<size_t, ScrollingLabelStep>> kept;
    for (size_t i = 0; i < sequence.size(); ++i) {
        const auto& step = sequence[i];
        if (isScrollStep(step)) {
            kept.emplace_back(i, step);
            continue;
        }
        if (i == 0) continue;
        const double time = stepTime(step);
        const bool afterScroll = time >= 0 && isScrollStep(sequence[i - 1]);
        const bool beforeScroll = time < 0 && isScrollStep(sequence[std::min(i + 1, sequence.size() - 1)]);
        if (afterScroll || beforeScroll) kept.emplace_back(i, step);
    }
    return kept;
}

}  // namespace

ui::MediaTimingFunction ScrollingLabel::timingFunctionForCurve(ui::ViewAnimationCurve curve) {
    using Name = ui::MediaTimingFunction::Name;
    switch (curve) {
        case ui::ViewAnimationCurve::easeOut: return ui::MediaTimingFunction::named(Name::easeOut);
        case ui::ViewAnimationCurve::easeIn: return ui::MediaTimingFunction::named(Name::easeIn);
        case ui::ViewAnimationCurve::easeInOut: return ui::MediaTimingFunction::named(Name::easeInEaseOut);
        default: return ui::MediaTimingFunction::named(Name::linear);
    }
}

std::vector<ui::Point> ScrollingLabel::timingControlPoints(const ui::MediaTimingFunction& function) {
    std::vector<ui::Point> points;
    for (int i = 0; i < 4; ++i) {
        const ui::Point p = function.controlPoint(i);
        points.push_back({static_cast<double>(static_cast<float>(p.x)), static_cast<double>(static_cast<float>(p.y))});
    }
    return points;
}

double ScrollingLabel::bezierParameterForY(const std::vector<ui::Point>& points, double y, double tolerance) {
    if (points.size() < 4) return y;
    const double c0 = points[0].y, c1 = points[1].y, c2 = points[2].y, c3 = points[3].y;
    double t = y;
    double lastEvaluated = t;
    for (int i = 0; i < 15; ++i) {
        lastEvaluated = t;
        const double u = 1 - t;
        const double b = c0 * u * u * u + 3 * c1 * t * u * u + 3 * c2 * t * t * u + c3 * t * t * t;
        if (std::abs(b - y) < tolerance) return t;
        const double slope = 3 * c1 - 3 * c0 + (6 * c0 + 6 * c2) * t - 3 * (c0 + 3 * c1 + 3 * c2 - c3) * t * t;
        if (std::abs(slope) < 1e-6) break;
        t -= (b - y) / slope;
    }
    std::printf("ScrollingLabel: Failed to find t for Y input!\n");
    std::fflush(stdout);
    return lastEvaluated;
}

std::vector<ScrollingLabelStep> ScrollingLabel::defaultSequence() const {
    const double delay = m_animationDelay;
    const double moving = animationDuration();
    const auto linear = ui::ViewAnimationCurve::linear;
    const auto curve = m_animationCurve;
    const EdgeFade both = EdgeFade::both();
    const EdgeFade trailing = EdgeFade::trailingEdge();
    const EdgeFade leading = EdgeFade::leadingEdge();
    if (m_type == ScrollType::continuous || m_type == ScrollType::continuousReverse) {
        // The fade of the leading edge is withdrawn once the first copy's end has passed it.
        const auto points = timingControlPoints(timingFunctionForCurve(curve));
        const double y = m_awayOffset != 0 ? std::abs(m_homeLabelFrame.size.width / m_awayOffset) : 1;
        const double tolerance = 1.0 / ((delay + moving) * 100);
        const double t = bezierParameterForY(points, y, tolerance);
        const double u = 1 - t;
        const double x = points[0].x * u * u * u + 3 * points[1].x * t * u * u + 3 * points[2].x * t * t * u +
                         points[3].x * t * t * t;
        return {ScrollStep{0.0, linear, ScrollStep::Position::home(), trailing},
                ScrollStep{delay, linear, ScrollStep::Position::home(), trailing}, FadeStep{0.2, linear, both},
                FadeStep{x * moving - moving, linear, both},
                ScrollStep{moving, curve, ScrollStep::Position::away(), trailing}};
    }
    std::vector<ScrollingLabelStep> steps{ScrollStep{0.0, linear, ScrollStep::Position::home(), trailing},
                                          ScrollStep{delay, linear, ScrollStep::Position::home(), trailing},
                                          FadeStep{0.2, linear, both},
                                          FadeStep{-0.2, linear, both},
                                          ScrollStep{moving, curve, ScrollStep::Position::away(), leading},
                                          ScrollStep{delay, linear, ScrollStep::Position::away(), leading}};
    if (m_type == ScrollType::leftRight || m_type == ScrollType::rightLeft) {
        steps.push_back(FadeStep{0.2, linear, both});
        steps.push_back(FadeStep{-0.2, linear, both});
        steps.push_back(ScrollStep{moving, curve, ScrollStep::Position::home(), trailing});
    }
    return steps;
}

ScrollingLabel::ScrollAnimation ScrollingLabel::generateScrollAnimation(
    const std::vector<ScrollingLabelStep>& sequence) const {
    std::vector<ScrollStep> steps;
    for (const auto& step : sequence) {
        if (const auto* scroll = std::get_if<ScrollStep>(&step)) steps.push_back(*scroll);
    }
    double total = 0;
    for (const auto& step : steps) total += step.timeStep;
    auto animation = ui::KeyframeAnimation::create("position");
    double running = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto& step = steps[i];
        running += step.timeStep;
        animation->keyTimes.push_back(keyTime(running, total));
        double offset = 0;
        switch (step.position.kind) {
            case ScrollStep::Position::Kind::partial: offset = m_awayOffset * step.position.fraction; break;
            case ScrollStep::Position::Kind::home: offset = 0; break;
            case ScrollStep::Position::Kind::away: offset = m_awayOffset; break;
        }
        animation->values.push_back(ui::Point{m_homeLabelFrame.origin.x + offset, m_homeLabelFrame.origin.y});
        if (i > 0) animation->timingFunctions.push_back(timingFunctionForCurve(step.timingFunction));
    }
    return {animation, total};
}

std::shared_ptr<ui::KeyframeAnimation> ScrollingLabel::generateGradientAnimation(
    const std::vector<ScrollingLabelStep>& sequence, double totalDuration) const {
    auto animation = ui::KeyframeAnimation::create("colors");
    double running = 0;
    for (const auto& [index, step] : fadeableSteps(sequence)) {
        double time = 0;
        if (isScrollStep(step)) {
            time = running + stepTime(step);
            running = time;
        } else if (stepTime(step) >= 0) {
            time = running + stepTime(step);
        } else {
            time = running + stepTime(sequence[index + 1]) + stepTime(step);
        }
        animation->keyTimes.push_back(keyTime(time, totalDuration));
        const EdgeFade fades = stepEdgeFades(step);
        const ui::Color leadingColor = fades.contains(EdgeFade::leading) ? transparent() : opaque();
        const ui::Color trailingColor = fades.contains(EdgeFade::trailing) ? transparent() : opaque();
        if (isLeftType()) {
            animation->values.push_back(std::vector<ui::Color>{leadingColor, opaque(), opaque(), trailingColor});
        } else {
            animation->values.push_back(std::vector<ui::Color>{trailingColor, opaque(), opaque(), leadingColor});
        }
        if (index != 0) animation->timingFunctions.push_back(timingFunctionForCurve(stepTimingFunction(step)));
    }
    return animation;
}

void ScrollingLabel::applyGradientMask(double fadeLength, bool animated, std::optional<ScrollingLabelStep>) {
    if (auto current = layer().mask()) current->removeAllAnimations();
    if (fadeLength <= 0) {
        layer().setMask(nullptr);
        return;
    }
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(true);
    auto mask = maskLayer();
    if (!mask) {
        mask = ui::GradientLayer::create();
        mask->setShouldRasterize(true);
        mask->setRasterizationScale(ui::Screen::main()->scale());
        mask->setStartPoint({0, 0.5});
        mask->setEndPoint({1, 0.5});
    }
    const ui::Rect b = layer().bounds();
    if (!(mask->bounds() == b)) {
        // A label with no width has nothing to fade: a share of 0 keeps the locations numbers.
        const double width = bounds().size.width;
        const double f = width > 0 ? fadeLength / width : 0;
        mask->setLocations(
            {0.0, static_cast<double>(static_cast<float>(f)), static_cast<double>(static_cast<float>(1 - f)), 1.0});
    }
    mask->setBounds(b);
    mask->setPosition({bounds().midX(), bounds().midY()});
    layer().setMask(mask);
    const bool fade = labelShouldScroll();
    std::vector<ui::Color> rest;
    if (m_type == ScrollType::continuousReverse || m_type == ScrollType::rightLeft) {
        rest = {fade ? transparent() : opaque(), opaque(), opaque(), opaque()};
    } else {
        rest = {opaque(), opaque(), opaque(), fade ? transparent() : opaque()};
    }
    if (!animated) {
        mask->setColors(rest);
        ui::Transaction::commit();
        return;
    }
    ui::Transaction::commit();
    auto setup = GradientSetupAnimation::create("colors");
    setup->fromValue = mask->colors();
    setup->toValue = rest;
    setup->fillMode = ui::FillMode::forwards;
    setup->isRemovedOnCompletion = false;
    setup->delegate = sharedAs<ScrollingLabel>();
    mask->addAnimation(setup, "setupFade");
}

void ScrollingLabel::scroll(const ScrollAnimation& animation, std::optional<ScrollAnimation> fader) {
    if (!canRunNow()) return;
    labelWillBeginScroll();
    ui::Transaction::begin();
    ui::Transaction::setAnimationDuration(animation.second);
    if (m_fadeLength <= 0) {
        fader.reset();
    } else {
        auto mask = maskLayer();
        if (mask) {
            auto setup = std::dynamic_pointer_cast<ui::BasicAnimation>(mask->animation("setupFade"));
            if (setup && setup->toValue && std::holds_alternative<std::vector<ui::Color>>(*setup->toValue))
                mask->setColors(std::get<std::vector<ui::Color>>(*setup->toValue));
            mask->removeAnimation("setupFade");
            if (fader) mask->addAnimation(fader->first, "gradient");
        }
    }
    std::weak_ptr<ScrollingLabel> weak = sharedAs<ScrollingLabel>();
    m_scrollCompletionBlock = [weak, animation, fader](bool finished) {
        auto self = weak.lock();
        if (!self) return;
        self->labelReturnedToHome(true);
        if (!self->window() || self->m_sublabel->layer().animation("position")) return;
        if (!finished || !self->m_scrollCompletionBlock || !self->labelShouldScroll() || self->m_tapToScroll ||
            self->m_holdScrolling)
            return;
        // A pass that takes no time would repeat forever within one instant; it runs once.
        if (!(animation.second > 0)) return;
        self->scroll(animation, fader);
    };
    animation.first->setValue(completionKey, true);
    animation.first->delegate = sharedAs<ScrollingLabel>();
    if (m_type == ScrollType::left || m_type == ScrollType::right) {
        animation.first->isRemovedOnCompletion = false;
        animation.first->fillMode = ui::FillMode::forwards;
    }
    m_sublabel->layer().addAnimation(animation.first, "position");
    ui::Transaction::commit();
}

void ScrollingLabel::animationDidStop(const std::shared_ptr<ui::Animation>& animation, bool finished) {
    if (auto setup = std::dynamic_pointer_cast<GradientSetupAnimation>(animation)) {
        auto mask = maskLayer();
        if (mask && setup->toValue && std::holds_alternative<std::vector<ui::Color>>(*setup->toValue))
            mask->setColors(std::get<std::vector<ui::Color>>(*setup->toValue));
        if (mask) mask->removeAnimation("setupFade");
        return;
    }
    if (auto block = m_scrollCompletionBlock) block(finished);
}

void ScrollingLabel::pauseLabel() {
    if (isPaused() || !awayFromHome()) return;
    std::vector<ui::Layer*> layers{&m_sublabel->layer()};
    if (auto mask = layer().mask()) layers.push_back(mask.get());
    for (auto* l : layers) {
        const double paused = l->convertTime(ui::currentMediaTime(), nullptr);
        l->setSpeed(0);
        l->setTimeOffset(paused);
    }
}

void ScrollingLabel::unpauseLabel() {
    if (!isPaused()) return;
    std::vector<ui::Layer*> layers{&m_sublabel->layer()};
    if (auto mask = layer().mask()) layers.push_back(mask.get());
    for (auto* l : layers) {
        const double paused = l->timeOffset();
        l->setSpeed(1);
        l->setTimeOffset(0);
        l->setBeginTime(0);
        l->setBeginTime(l->convertTime(ui::currentMediaTime(), nullptr) - paused);
    }
}

void ScrollingLabel::draw(const ui::Rect&) {
    auto context = ui::GraphicsContext::current();
    const auto color = ui::View::backgroundColor();
    if (!context || !color) return;
    context->setFillColor(*color);
    context->fillRect(bounds());
}

}  // namespace reelhaven
