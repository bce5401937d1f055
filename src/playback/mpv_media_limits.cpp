#include "playback/mpv_media_limits.h"

#include <mpv/client.h>

#include <utility>
#include <vector>

#include "core/ffmpeg_input_options.h"

namespace reelhaven {

namespace {

// A key-value list option as mpv takes it: a map node, so no value needs mpv's quoting.
class OptionMap {
public:
    // The map points into `options`: a temporary would leave it pointing at freed strings.
    explicit OptionMap(std::vector<FFmpegOption>&&) = delete;
    explicit OptionMap(const std::vector<FFmpegOption>& options) {
        for (const auto& option : options) {
            m_keys.push_back(const_cast<char*>(option.name.c_str()));
            mpv_node value{};
            value.format = MPV_FORMAT_STRING;
            value.u.string = const_cast<char*>(option.value.c_str());
            m_values.push_back(value);
        }
        m_list.num = static_cast<int>(m_values.size());
        m_list.values = m_values.data();
        m_list.keys = m_keys.data();
        m_node.format = MPV_FORMAT_NODE_MAP;
        m_node.u.list = &m_list;
    }
    mpv_node* node() { return &m_node; }

private:
    std::vector<char*> m_keys;
    std::vector<mpv_node> m_values;
    mpv_node_list m_list{};
    mpv_node m_node{};
};

std::vector<FFmpegOption> protocolsOnly(const std::vector<FFmpegOption>& options) {
    std::vector<FFmpegOption> protocols;
    for (const auto& option : options)
        if (option.name == "protocol_whitelist") protocols.push_back(option);
    return protocols;
}

int setOption(mpv_handle* handle, MPVLimitScope scope, const std::string& name, mpv_format format, void* value) {
    if (scope == MPVLimitScope::session) return mpv_set_option(handle, name.c_str(), format, value);
    return mpv_set_property(handle, ("file-local-options/" + name).c_str(), format, value);
}

}  // namespace

bool setMediaLimits(mpv_handle* handle, const MediaLimits& limits, MPVLimitScope scope) {
    // The maps point into these option lists, which must outlive the calls below.
    const auto ffmpeg = ffmpegInputOptions(limits);
    const auto protocols = protocolsOnly(ffmpeg);
    OptionMap demuxer(ffmpeg);
    OptionMap stream(protocols);
    const char* references = limits.followsReferences ? "yes" : "no";
    bool written = setOption(handle, scope, "access-references", MPV_FORMAT_STRING, &references) >= 0;
    written = setOption(handle, scope, "demuxer-lavf-o", MPV_FORMAT_NODE, demuxer.node()) >= 0 && written;
    written = setOption(handle, scope, "stream-lavf-o", MPV_FORMAT_NODE, stream.node()) >= 0 && written;
    // mpv's own defaults when it may look; the user's own files keep the fuzzy subtitle match.
    for (const auto& [name, beside] :
         {std::pair{"sub-auto", "fuzzy"}, std::pair{"audio-file-auto", "no"}, std::pair{"cover-art-auto", "exact"}}) {
        const char* value = limits.findsFilesBeside ? beside : "no";
        written = setOption(handle, scope, name, MPV_FORMAT_STRING, &value) >= 0 && written;
    }
    return written;
}

}  // namespace reelhaven
