#include "app/machine_outputs.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace reelhaven {

namespace {

// The folder the sound servers put their sockets in.
std::optional<std::string> runtimeFolder(const MachineOutputs::Probe& probe) {
    auto folder = probe.environment("XDG_RUNTIME_DIR");
    if (!folder || folder->empty()) return std::nullopt;
    return folder;
}

bool hasPipeWire(const MachineOutputs::Probe& probe) {
    auto folder = probe.environment("PIPEWIRE_RUNTIME_DIR");
    if (!folder || folder->empty()) folder = runtimeFolder(probe);
    if (!folder) return false;
    auto remote = probe.environment("PIPEWIRE_REMOTE");
    if (remote && !remote->empty() && remote->front() == '/') return probe.exists(*remote);
    return probe.exists(*folder + "/" + (remote && !remote->empty() ? *remote : std::string("pipewire-0")));
}

bool hasPulseAudio(const MachineOutputs::Probe& probe) {
    // A server named in the environment may be on another machine; it is tried.
    if (auto server = probe.environment("PULSE_SERVER"); server && !server->empty()) return true;
    auto folder = runtimeFolder(probe);
    return folder && probe.exists(*folder + "/pulse/native");
}

// An ALSA playback device: /dev/snd/pcmC<card>D<device>p.
bool hasAlsaPlayback(const MachineOutputs::Probe& probe) {
    for (const auto& name : probe.names("/dev/snd"))
        if (name.starts_with("pcmC") && name.ends_with("p")) return true;
    return false;
}

// A VDPAU backend library (libvdpau_<driver>.so) where libvdpau looks for one; its tracing
// wrapper is no backend.
bool hasVdpauBackend(const MachineOutputs::Probe& probe) {
    std::vector<std::string> folders = {"/usr/lib/x86_64-linux-gnu/vdpau", "/usr/lib/aarch64-linux-gnu/vdpau",
                                        "/usr/lib/vdpau", "/usr/lib64/vdpau"};
    if (auto path = probe.environment("VDPAU_DRIVER_PATH"); path && !path->empty())
        folders.insert(folders.begin(), *path);
    for (const auto& folder : folders) {
        for (const auto& name : probe.names(folder))
            if (name.starts_with("libvdpau_") && !name.starts_with("libvdpau_trace")) return true;
    }
    return false;
}

}  // namespace

MachineOutputs MachineOutputs::detect(const Probe& probe) {
    MachineOutputs outputs;
    auto add = [&](const char* name) {
        if (!outputs.audioOutput.empty()) outputs.audioOutput += ",";
        outputs.audioOutput += name;
    };
    if (hasPipeWire(probe)) add("pipewire");
    if (hasPulseAudio(probe)) add("pulse");
    if (hasAlsaPlayback(probe)) add("alsa");
    if (outputs.audioOutput.empty()) outputs.audioOutput = "null";
    const bool nvidia = probe.hasCudaDriver();
    if (!nvidia) outputs.hwdecInterop = "vaapi";
    if (!nvidia && !hasVdpauBackend(probe)) outputs.hwdec = "vaapi";
    return outputs;
}

MachineOutputs::Probe MachineOutputs::systemProbe() {
    Probe probe;
    probe.environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    probe.exists = [](const std::string& path) {
        std::error_code error;
        return std::filesystem::exists(path, error);
    };
    probe.names = [](const std::string& folder) {
        std::vector<std::string> names;
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            names.push_back(it->path().filename().string());
        return names;
    };
    probe.hasCudaDriver = [] {
        // The driver's library, looked up as mpv would load it; found means the NVIDIA driver.
        void* library = ::dlopen("libcuda.so.1", RTLD_LAZY | RTLD_LOCAL);
        if (!library) return false;
        ::dlclose(library);
        return true;
    };
    return probe;
}

}  // namespace reelhaven
