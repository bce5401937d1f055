#include "controls/option_rows.h"

#include "controls/options_value_texts.h"
#include "core/preferences.h"
#include "playback/model/playback_info.h"

namespace reelhaven {
namespace {

OptionsItem row(OptionsRowKind kind, std::optional<std::string> icon, const OptionsControl& control,
                std::optional<std::string> subtitle = std::nullopt) {
    OptionsItem item;
    item.title = std::string(rawValue(kind));
    item.subtitle = std::move(subtitle);
    item.icon = std::move(icon);
    item.control = control;
    return item;
}

OptionsItem child(OptionsRowKind kind, const OptionsControl& control) {
    OptionsItem item = row(kind, std::nullopt, control);
    item.indentLevel = 1;
    return item;
}

OptionsItem expandable(OptionsRowKind kind, std::string icon, std::vector<OptionsItem> children,
                       const OptionRowsState& state, std::optional<std::string> subtitle = std::nullopt) {
    OptionsItem item;
    item.title = std::string(rawValue(kind));
    item.subtitle = std::move(subtitle);
    item.icon = std::move(icon);
    item.subitems = std::move(children);
    if (state.expansion) {
        auto found = state.expansion->find(kind);
        item.isExpanded = found != state.expansion->end() && found->second;
    }
    return item;
}

std::vector<OptionsItem> subtitleRows(OptionsControls& controls, const OptionRowsState& state) {
    auto& preferences = Preferences::shared();
    OptionsItem delay = row(OptionsRowKind::subtitleDelay, "stopwatch", controls.subtitleDelayStepper());
    delay.value = ValueTextPublisher::mapping<double>(preferences.subtitleDelay.publisher(), &delayText);

    std::vector<OptionsItem> position{
        child(OptionsRowKind::subtitlePositionAuto, controls.subtitlePositionAutoSwitch())};
    if (!state.subtitlePositionAuto) {
        position.push_back(child(OptionsRowKind::subtitleSetPosition, controls.subtitlePositionSlider()));
    }

    OptionsItem font = child(OptionsRowKind::subtitleFont, controls.subtitleFontButton());
    font.segue = "font";
    OptionsItem border = child(OptionsRowKind::subtitleBorderSize, controls.subtitleBorderSizeStepper());
    border.value = ValueTextPublisher::mapping<double>(preferences.subtitleBorderSize.publisher(), &borderSizeText);
    std::vector<OptionsItem> appearance{font, border,
                                        child(OptionsRowKind::subtitleShadow, controls.subtitleShadowSwitch()),
                                        child(OptionsRowKind::subtitleReset, controls.subtitleResetButton())};

    return {row(OptionsRowKind::subtitleScale, "textformat.size", controls.subtitleScaleSlider()),
            expandable(OptionsRowKind::subtitlePosition, "dock.arrow.up.rectangle", std::move(position), state), delay,
            expandable(OptionsRowKind::subtitleAppearance, "sparkles", std::move(appearance), state,
                       "For subtitles without embedded styles")};
}

}  // namespace

OptionSections makeOptionRows(PlaybackInfo& info, OptionsControls& controls, const OptionRowsState& state) {
    OptionSections sections;

    OptionsItem speed = row(OptionsRowKind::speed, "speedometer", controls.playbackSpeedStepper());
    speed.value = ValueTextPublisher::mapping<std::optional<double>>(info.playbackSpeedPublisher(), &speedText);
    sections.emplace_back(OptionsSection::playback,
                          std::vector<OptionsItem>{speed,
                                                   row(OptionsRowKind::continuousPlayback, "arrowshape.bounce.right",
                                                       controls.continuousPlaybackSwitch()),
                                                   row(OptionsRowKind::fileLoop, "repeat", controls.loopSwitch())});

    std::vector<OptionsItem> video{row(OptionsRowKind::highQualityVideo, "photo", controls.highQualityVideoSwitch(),
                                       "GPU processing, may increase battery usage")};
    if (state.isInterlaced.value_or(false)) {
        video.push_back(row(OptionsRowKind::deinterlacing, "grid", controls.deinterlaceSwitch()));
    }
    sections.emplace_back(OptionsSection::video, std::move(video));

    std::vector<OptionsItem> interface {
        row(OptionsRowKind::skipInterval, "goforward", controls.skipIntervalsSegmentedControl())
    };
    if (!state.isPad) {
        interface.push_back(row(OptionsRowKind::preferLandscape, "rectangle", controls.preferLandscapeSwitch()));
    }
    sections.emplace_back(OptionsSection::interface, std::move(interface));

    if (info.subtitleTracks().size() >= 2)
        sections.emplace_back(OptionsSection::subtitles, subtitleRows(controls, state));

    sections.emplace_back(OptionsSection::audio, std::vector<OptionsItem>{row(OptionsRowKind::volume, "speaker.3",
                                                                              controls.volumeSegmentedControl())});
    return sections;
}

}  // namespace reelhaven
