#include <mpv/client.h>

#include <cctype>
#include <regex>
#include <sstream>

#include "core/preferences.h"
#include "platform/dispatch/work_queue.h"
#include "platform/ui/text/font_library.h"
#include "playback/mpv_session.h"

namespace reelhaven {

namespace {
// "eng" -> "Eng", "pt-br" -> "Pt-Br": each word's first letter up, the rest down.
std::string capitalized(const std::string& text) {
    std::string result = text;
    bool wordStart = true;
    for (char& c : result) {
        auto byte = static_cast<unsigned char>(c);
        if (std::isalpha(byte)) {
            c = static_cast<char>(wordStart ? std::toupper(byte) : std::tolower(byte));
            wordStart = false;
        } else {
            wordStart = !std::isdigit(byte);
        }
    }
    return result;
}

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}
}  // namespace

std::string MPVSession::trackTitle(TrackType type, std::int64_t id, const std::optional<std::string>& title,
                                   const std::optional<std::string>& lang) {
    if (title && lang) return "[" + capitalized(*lang) + "] " + *title + " ";
    if (title) return "[" + *title + "]";
    if (lang) return "[" + capitalized(*lang) + "]";
    return std::string(rawValue(type)) + ": " + std::to_string(id);
}

void MPVSession::updateChapters(PlaybackInfo& info) {
    std::vector<Chapter> chapters;
    auto count = intProperty("chapter-list/count").value_or(0);
    for (std::int64_t i = 0; i < count && mpv(); ++i) {
        auto prefix = "chapter-list/" + std::to_string(i);
        auto time = doubleProperty((prefix + "/time").c_str());
        if (!time && !mpv()) break;
        auto title = stringProperty((prefix + "/title").c_str());
        // mpv names an untitled Matroska chapter "(unnamed)" and an untitled MP4 one "": neither
        // is a title to show.
        if (title && (title->empty() || *title == "(unnamed)")) title.reset();
        chapters.push_back(
            {static_cast<int>(i), title.value_or("Chapter " + std::to_string(i)), VideoTime{time.value_or(0)}});
    }
    info.setChapters(std::move(chapters));
}

void MPVSession::updateTracks(PlaybackInfo& info) {
    std::vector<Track> video;
    std::vector<Track> audio{Track::none(TrackType::audio)};
    std::vector<Track> subtitle{Track::none(TrackType::subtitle)};
    Track activeAudio = Track::none(TrackType::audio);
    Track activeSubtitle = Track::none(TrackType::subtitle);
    auto count = intProperty("track-list/count").value_or(0);
    for (std::int64_t i = 0; i < count; ++i) {
        auto prefix = "track-list/" + std::to_string(i);
        auto read = [&](const char* field) { return stringProperty((prefix + field).c_str()); };
        auto type = trackTypeFromRawValue(read("/type").value_or(""));
        if (!type) continue;
        auto id = intProperty((prefix + "/id").c_str()).value_or(0);
        Track track{*type, id, trackTitle(*type, id, read("/title"), read("/lang"))};
        bool selected = flagProperty((prefix + "/selected").c_str()).value_or(false);
        switch (*type) {
            case TrackType::video: video.push_back(track); break;
            case TrackType::audio:
                audio.push_back(track);
                if (selected) activeAudio = track;
                break;
            case TrackType::subtitle:
                subtitle.push_back(track);
                if (selected) activeSubtitle = track;
                break;
        }
    }
    info.setTracks(std::move(video), std::move(audio), std::move(subtitle));
    info.setActiveAudioTrack(activeAudio);
    info.setActiveSubtitleTrack(activeSubtitle);
}

void MPVSession::reselectSavedTracks(PlaybackInfo& info) {
    auto reselect = [&](std::optional<int> saved, const std::vector<Track>& tracks) {
        if (!saved) return;
        for (const auto& track : tracks) {
            if (track.id == *saved) {
                selectTrack(info, track);
                return;
            }
        }
    };
    reselect(info.selectedAudioTrack(), info.audioTracks());
    reselect(info.selectedSubtitleTrack(), info.subtitleTracks());
}

void MPVSession::selectTrack(const Track& track) { selectTrack(*playbackInfo(), track); }

void MPVSession::selectTrack(PlaybackInfo& info, const Track& track) {
    static constexpr const char* kProperty[] = {"vid", "aid", "sid"};
    const char* property = kProperty[static_cast<int>(track.type)];
    // mpv refuses the integer -1; "no" is how it is told to play no track of a kind. A choice
    // made on the main thread (a popover's) is queued: mpv's core may be busy for seconds.
    if (m_commandQueue->isCurrent()) {
        track.isNone() ? setStringNow(property, "no") : setIntNow(property, track.id);
    } else {
        track.isNone() ? setStringProperty(property, "no") : setIntProperty(property, track.id);
    }
    if (track.type == TrackType::audio) {
        info.setSelectedAudioTrack(static_cast<int>(track.id));
        info.setActiveAudioTrack(track);
    } else if (track.type == TrackType::subtitle) {
        info.setSelectedSubtitleTrack(static_cast<int>(track.id));
        info.setActiveSubtitleTrack(track);
    }
}

std::optional<std::string> MPVSession::subtitleFont(const std::string& fontName,
                                                    const std::optional<std::string>& family) {
    if (fontName == "sans-serif") return fontName;
    if (!family) return std::nullopt;
    std::vector<std::string> pieces;
    std::stringstream stream(fontName);
    for (std::string piece; std::getline(stream, piece, '-');)
        if (!piece.empty()) pieces.push_back(piece);
    if (pieces.size() != 2 || *family == "Futura" || *family == "Menlo") return family;
    // "BoldItalic" -> "Bold Italic".
    auto style = trimmed(std::regex_replace(pieces[1], std::regex("([A-Z])"), " $1"));
    return *family + " " + capitalized(style);
}

void MPVSession::updateSubtitleFont() {
    auto name = preferences().subtitleFont.wrappedValue();
    std::optional<std::string> family;
    if (name != "sans-serif") {
        if (auto metrics = ui::FontLibrary::shared().metrics(name)) family = metrics->familyName;
    }
    const auto font = subtitleFont(name, family);
    if (!font) return;
    // From the settings on the main thread: queued, as a track choice is.
    if (m_commandQueue->isCurrent()) {
        setStringNow("sub-font", *font);
    } else {
        setStringProperty("sub-font", *font);
    }
}

void MPVSession::updateSubtitlePosition() {
    if (!subtitlePositionProvider) return;
    if (auto position = subtitlePositionProvider()) setIntProperty("sub-pos", *position);
}

}  // namespace reelhaven
