// Which sound and GPU decoding outputs the players are given, for machines made of stand-ins.

#include "app/machine_outputs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace reelhaven {
namespace {

struct Machine {
    std::map<std::string, std::string> environment;
    std::set<std::string> files;
    std::vector<std::string> soundDevices;
    bool cuda = false;
    std::vector<std::string> vdpauLibraries = {"libvdpau_trace.so.1"};

    MachineOutputs detect() const {
        MachineOutputs::Probe probe;
        probe.environment = [this](const char* name) -> std::optional<std::string> {
            auto found = environment.find(name);
            return found == environment.end() ? std::nullopt : std::optional(found->second);
        };
        probe.exists = [this](const std::string& path) { return files.contains(path); };
        probe.names = [this](const std::string& folder) {
            if (folder == "/dev/snd") return soundDevices;
            if (folder == "/usr/lib/x86_64-linux-gnu/vdpau") return vdpauLibraries;
            return std::vector<std::string>{};
        };
        probe.hasCudaDriver = [this] { return cuda; };
        return MachineOutputs::detect(probe);
    }
};

TEST(MachineOutputsTest, AMachineWithoutSoundPlaysToTheNullOutputAndDecodesThroughVAAPIOnly) {
    Machine headless{{{"XDG_RUNTIME_DIR", "/run/user/0"}}, {}, {"controlC0", "pcmC0D0c", "timer"}};
    EXPECT_EQ(headless.detect().audioOutput, "null") << "a capture device plays nothing";
    EXPECT_EQ(headless.detect().hwdecInterop, "vaapi");
    EXPECT_EQ(headless.detect().hwdec, "vaapi") << "no VDPAU backend: VDPAU is not tried";
}

TEST(MachineOutputsTest, AnInstalledVDPAUBackendKeepsMpvsAutomaticDecoderChoice) {
    Machine amd;
    amd.vdpauLibraries = {"libvdpau_radeonsi.so.1", "libvdpau_trace.so.1"};
    EXPECT_EQ(amd.detect().hwdec, "");
    EXPECT_EQ(amd.detect().hwdecInterop, "vaapi");
}

TEST(MachineOutputsTest, TheSoundServersAndDevicesPresentAreOfferedInMpvsOrder) {
    const std::string run = "/run/user/1000";
    EXPECT_EQ((Machine{{{"XDG_RUNTIME_DIR", run}}, {run + "/pipewire-0", run + "/pulse/native"}, {"pcmC0D0p"}}
                   .detect()
                   .audioOutput),
              "pipewire,pulse,alsa");
    EXPECT_EQ((Machine{{{"XDG_RUNTIME_DIR", run}}, {run + "/pulse/native"}}.detect().audioOutput), "pulse");
    EXPECT_EQ((Machine{{{"PULSE_SERVER", "tcp:host"}}}.detect().audioOutput), "pulse");
    EXPECT_EQ((Machine{{}, {}, {"pcmC1D3p"}}.detect().audioOutput), "alsa");
    EXPECT_EQ(
        (Machine{{{"XDG_RUNTIME_DIR", run}, {"PIPEWIRE_REMOTE", "studio"}}, {run + "/studio"}}.detect().audioOutput),
        "pipewire");
    EXPECT_EQ((Machine{{{"PIPEWIRE_RUNTIME_DIR", "/srv/pw"}}, {"/srv/pw/pipewire-0"}}.detect().audioOutput),
              "pipewire");
    EXPECT_EQ((Machine{{}, {"/pipewire-0", "/pulse/native"}}.detect().audioOutput), "null")
        << "no runtime folder, no sockets looked for";
}

TEST(MachineOutputsTest, WithTheNVIDIADriverMpvChoosesAmongAllItsInterops) {
    Machine nvidia;
    nvidia.cuda = true;
    EXPECT_EQ(nvidia.detect().hwdecInterop, "");
    EXPECT_EQ(nvidia.detect().hwdec, "");
}

}  // namespace
}  // namespace reelhaven
