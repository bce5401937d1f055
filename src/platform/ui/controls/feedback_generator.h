#pragma once

#include <memory>

#include "platform/ui/views/object.h"

namespace ui {

// A haptic generator that counts what it was asked to play (there is no motor here).
class FeedbackGenerator : public Object {
public:
    enum class Kind { impact, selection, notification };
    enum class ImpactStyle { light, medium, heavy, soft, rigid };
    enum class NotificationType { success, warning, error };

    static std::shared_ptr<FeedbackGenerator> impact(ImpactStyle style = ImpactStyle::medium);
    static std::shared_ptr<FeedbackGenerator> selection();
    static std::shared_ptr<FeedbackGenerator> notification();
    std::string className() const override { return "FeedbackGenerator"; }

    Kind kind() const { return m_kind; }
    ImpactStyle impactStyle() const { return m_style; }
    void prepare() { ++m_prepared; }
    void impactOccurred(double intensity = 1.0);
    void selectionChanged() { ++m_played; }
    void notificationOccurred(NotificationType type);

    int prepareCount() const { return m_prepared; }
    int playCount() const { return m_played; }
    double lastIntensity() const { return m_lastIntensity; }
    NotificationType lastNotification() const { return m_lastNotification; }

private:
    explicit FeedbackGenerator(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    ImpactStyle m_style = ImpactStyle::medium;
    int m_prepared = 0;
    int m_played = 0;
    double m_lastIntensity = 0;
    NotificationType m_lastNotification = NotificationType::success;
};

}  // namespace ui
