#include "platform/ui/controls/feedback_generator.h"

namespace ui {

std::shared_ptr<FeedbackGenerator> FeedbackGenerator::impact(ImpactStyle style) {
    auto generator = std::shared_ptr<FeedbackGenerator>(new FeedbackGenerator(Kind::impact));
    generator->m_style = style;
    return generator;
}

std::shared_ptr<FeedbackGenerator> FeedbackGenerator::selection() {
    return std::shared_ptr<FeedbackGenerator>(new FeedbackGenerator(Kind::selection));
}

std::shared_ptr<FeedbackGenerator> FeedbackGenerator::notification() {
    return std::shared_ptr<FeedbackGenerator>(new FeedbackGenerator(Kind::notification));
}

void FeedbackGenerator::impactOccurred(double intensity) {
    ++m_played;
    m_lastIntensity = intensity;
}

void FeedbackGenerator::notificationOccurred(NotificationType type) {
    ++m_played;
    m_lastNotification = type;
}

}  // namespace ui
