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
    m_clockStopped = false;
    runTimers();
    restClockIfSettled();
}

void ReelhavenViewController::runTimers() {
    auto weak = weakSelf();
    startIfStopped(m_saveProgressTimer, [&] { return repeating(5.0, weak, &ReelhavenViewController::saveProgress); });
    startIfStopped(m_syncPlayTimeTimer, [&] { return repeating(0.2, weak, &ReelhavenViewController::clockTick); });
    startIfStopped(m_commitProgressTimer, [&] { return repeating(30.0, weak, &ReelhavenViewController::commitTick); });
}

void ReelhavenViewController::wakeClock() {
    // In the background and once closed the timers stay stopped; the foreground starts them.
    if (!m_clockStopped) runTimers();
}

bool ReelhavenViewController::clockMayRest() const {
    if (!m_session) return false;
    auto controls = m_controlView.lock();
    auto slider = controls ? controls->bottomControlView()->progressBar() : nullptr;
    // Paused as mpv itself reports it, every seek asked for ended in its playback restart, and no
    // finger on the position: nothing can move the clock until one of those changes, and each
    // change wakes it.
    return m_playbackInfo->isPaused() && m_mpvPaused && !m_session->seekInFlight() && m_validPanSeek != true &&
           !(slider && slider->isTracking());
}

void ReelhavenViewController::restClockIfSettled() {
    if (m_clockStopped || !clockMayRest()) return;
    const bool running = (m_syncPlayTimeTimer && m_syncPlayTimeTimer->isValid()) ||
                         (m_saveProgressTimer && m_saveProgressTimer->isValid());
    if (!running) return;
    for (const auto& timer : {m_syncPlayTimeTimer, m_saveProgressTimer})
        if (timer) timer->invalidate();
    // The position it rests at and what was chosen while paused; the file follows at the next
    // 30 s beat, the commit timer's last while resting.
    saveProgress();
}

void ReelhavenViewController::clockTick() {
    syncUITime();
    restClockIfSettled();
}

void ReelhavenViewController::commitTick() {
    commitProgress();
    if (clockMayRest() && m_commitProgressTimer) m_commitProgressTimer->invalidate();
}

void ReelhavenViewController::syncUITime() {
    auto info = m_playbackInfo;
    const auto duration = info->duration();
    if (!m_session || !m_session->mpv() || !duration || m_validPanSeek == true) return;
    // Only a position read from the file this record plays counts: before it is loaded mpv has
    // none, or still the replaced file's, and either would overwrite the saved progress.
    if (!m_session->hasLoaded(*info)) return;
    // The last one mpv reported: asking mpv would wait for its core, busy for seconds at times.
    const auto position = m_session->observed().position;
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
