#include "app/play_report.h"

#include <iomanip>
#include <ostream>
#include <sstream>
#include <utility>

#include "platform/base/escaped_text.h"

namespace reelhaven {

namespace {

std::string seconds3(double value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << value;
    return text.str();
}

}  // namespace

void PlayReport::loaded(const PlaybackInfo& info) {
    if (m_ended) return;
    m_out << "loaded\t" << base::escapedText(info.title()) << "\n";
    for (const auto& list : {info.videoTracks(), info.audioTracks(), info.subtitleTracks()})
        for (const auto& track : list)
            if (!track.isNone())
                m_out << "track\t" << rawValue(track.type) << "\t" << track.id << "\t" << base::escapedText(track.title)
                      << "\n";
    for (const auto& chapter : info.chapters())
        m_out << "chapter\t" << chapter.index << "\t" << seconds3(chapter.startTime.seconds) << "\t"
              << base::escapedText(chapter.title) << "\n";
    m_out << std::flush;
}

void PlayReport::time(double position) {
    if (m_ended) return;
    m_out << "time\t" << VideoTime::timeString(position).value_or("-") << std::endl;
}

void PlayReport::frame(const std::string& path) {
    if (!m_ended) m_out << "frame\t" << base::escapedText(path) << std::endl;
}

void PlayReport::screenshot(const std::string& path) {
    if (!m_ended) m_out << "screenshot\t" << base::escapedText(path) << std::endl;
}

void PlayReport::screen(const std::string& text) {
    if (!m_ended) m_out << text << std::flush;
}

bool PlayReport::end(const std::string& how) {
    if (std::exchange(m_ended, true)) return false;
    m_out << "end\t" << how << std::endl;
    return true;
}

}  // namespace reelhaven
