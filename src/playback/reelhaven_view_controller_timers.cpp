#include "controls/bottom_control_view.h"
#include "controls/video_control_view.h"
#include "core/progress_client.h"
#include "platform/dispatch/group.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/views/view.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

// Each timer holds the player weakly: a player dropped without closing stops its timers' work.
template <typename Action>
std::shared_ptr<dispatch::Timer> repeating(double interval, std::weak_ptr<ReelhavenViewController> weak,
                                           Action action) {
    return dispatch::Timer::scheduledTimer(interval, true, [weak, action](dispatch::Timer&) {
        if (auto self = weak.lock()) ((*self).*action)();
    });
}

void startIfStopped(std::shared_ptr<dispatch::Timer>& timer,
                    const std::function<std::shared_ptr<dispatch::Timer>()>& make) {
    if (!timer || !timer->isValid()) timer = make();
}

}  // namespace

void ReelhavenViewController::startTimers() {
    auto weak = weakSelf();
    startIfStopped(m_saveProgressTimer, [&] { return repeating(5.0, weak, &ReelhavenViewController::saveProgress); });
    updateClockTimer();
    startIfStopped(m_commitProgressTimer,
                   [&] { return repeating(30.0, weak, &ReelhavenViewController::commitProgress); });
}

void ReelhavenViewController::updateClockTimer() {
    // In the background the timers stop together, and start again together.
    if (!m_saveProgressTimer || !m_saveProgressTimer->isValid()) return;
    startIfStopped(m_syncPlayTimeTimer,
                   [&] { return repeating(0.2, weakSelf(), &ReelhavenViewController::syncUITime); });
}

void ReelhavenViewController::syncUITime() {
    auto info = m_playbackInfo;
    const auto duration = info->duration();
    if (!m_session || !m_session->mpv() || !duration || m_validPanSeek == true) return;
    // Only a position read from the file this record plays counts: before it is loaded mpv has
    // none, or still the replaced file's, and either would overwrite the saved progress.
    if (!m_session->hasLoaded(*info)) return;
    const auto position = m_session->doubleProperty("time-pos");
    if (!position) return;
    auto controls = m_controlView.lock();
    auto slider = controls ? controls->bottomControlView()->progressBar() : nullptr;
    const bool labelsFree = !info->isPanSeeking() && !info->isSeeking() && !(slider && slider->isTracking());
    if (labelsFree && controls) controls->updateProgressLabels(*position, *duration);
    info->setProgress(*position);
    if (labelsFree && slider) {
        const float value = static_cast<float>(*position / *duration * 100);
        ui::View::animate(0.2, [slider, value] { slider->setValue(value, true); });
    }
}

void ReelhavenViewController::saveProgress() {
    // The record current now, so a save asked for just before a switch still saves the old video.
    saveInBackground([info = m_playbackInfo] { info->saveProgress(); });
}

void ReelhavenViewController::commitProgress() {
    saveInBackground([client = m_playbackInfo->progressClient()] {
        if (client) client->save();
    });
}

void ReelhavenViewController::saveInBackground(std::function<void()> save) {
    m_progressSaves->async(dispatch::Queue::global(), std::move(save));
}

void ReelhavenViewController::waitForProgressSaves() const { m_progressSaves->wait(); }

}  // namespace reelhaven
