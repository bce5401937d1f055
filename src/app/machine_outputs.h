#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace reelhaven {

// The sound and GPU decoding outputs this machine has, found without opening any of them. mpv
// left to itself tries each output in turn, and every one that is missing prints its library's
// errors on the terminal (ALSA without a card, PipeWire without a daemon, "Cannot load
// libcuda.so.1" without the NVIDIA driver): nothing a user can act on.
struct MachineOutputs {
    // mpv's "ao": the sound servers and devices present, in mpv's order of preference; "null"
    // when there are none (playback then keeps time without sound, as it would anyway).
    std::string audioOutput;
    // mpv's "hwdec": empty (its safe automatic choice) unless VDPAU cannot work here (no NVIDIA
    // driver, no VDPAU backend installed), then VA-API alone: mpv 0.35 takes no list, and its
    // automatic choice would open VDPAU and print the backend's failure.
    std::string hwdec;
    // mpv's "gpu-hwdec-interop": empty (mpv probes them all) when the NVIDIA driver is there,
    // else only VA-API, the interface of the Mesa drivers.
    std::string hwdecInterop;

    // What is looked at, so tests can stand in for the machine.
    struct Probe {
        std::function<std::optional<std::string>(const char* name)> environment;
        std::function<bool(const std::string& path)> exists;
        std::function<std::vector<std::string>(const std::string& folder)> names;
        std::function<bool()> hasCudaDriver;
    };
    static MachineOutputs detect(const Probe& probe);
    // This process's environment and files.
    static Probe systemProbe();
};

}  // namespace reelhaven
