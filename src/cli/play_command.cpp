#include "cli/play_command.hpp"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

#include "audio/wave_out_manager.hpp"
#include "audio/wave_writer_registry.hpp"
#include "cli/render_command.hpp"
#include "engine/engine.hpp"
#include "patch/patch.hpp"
#include "platform/alsa_input.hpp"
#include "platform/alsa_midi.hpp"
#include "platform/alsa_output.hpp"
#include "platform/x11_pointer.hpp"
#include "sources/midi_in_manager.hpp"
#include "sources/mouse_sampler.hpp"
#include "sources/wave_in_manager.hpp"

namespace mw::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void OnSignal(int) {
    gInterrupted = 1;
}

} // namespace

int PlayCommand(const RenderCliOptions& o, double seconds) {
    std::string error;
    std::unique_ptr<X11Pointer> pointer = X11Pointer::Open(nullptr, &error);
    if (!pointer) {
        std::cerr << "murmelwerk-render: the mouse cannot be read: " << error
                  << "\n(Murmelwerk needs an X11 display; on Wayland it runs through XWayland.)\n";
        return 1;
    }

    platform::AlsaOutputBackend outBackend;
    platform::AlsaMidiBackend midiBackend;
    platform::AlsaInputBackend inBackend;
    WaveWriterRegistry registry;
    WaveOutManager outputs(outBackend, &registry);
    MidiInManager midi(midiBackend);
    WaveInManager inputs(inBackend);
    inputs.SetMessageCallback([](int) {
        std::cerr
            << "murmelwerk-render: The audio-input device is already in use and so cannot be used at the "
               "moment.\n";
    });

    Engine engine;
    engine.SetDevices(&outputs, &midi, &inputs);
    engine.SetPointer(pointer.get());
    engine.controlRate = o.controlRate;
    engine.outputLatencyMs = 60;
    {
        Patch patch(engine);
        if (!LoadPatchSource(patch, o)) return 1;

        MouseSamplerControls controls;
        controls.wrapMouse = true;
        MouseSampler sampler(engine, *pointer, controls);
        sampler.Start();
        // Modules that look at the cursor read what the sampler saw, never the X server from the engine
        // thread.
        engine.SetPointer(&sampler.Sampled());

        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        engine.StartEngine();
        std::cerr << "Playing " << patch.TotalCount() << " module(s) on display " << pointer->DisplayName()
                  << ". Move the mouse; Ctrl+C stops.\n";
        const auto start = std::chrono::steady_clock::now();
        bool warned = false;
        while (!gInterrupted) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!warned && elapsed > 1.0 && outputs.OpenDeviceCount() == 0) {
                warned = true;
                std::fprintf(stderr,
                             "\rNo output device is playing: either the patch sends nothing to a device, or "
                             "ALSA's output device cannot be opened (it is tried again every block).\n");
            }
            std::fprintf(stderr, "\rlatency %5.1f ms   speed %7.1f   ", engine.measuredLatency.load(),
                         engine.rawMeasures[int(MouseMeasure::Speed)].load());
            std::fflush(stderr);
            if (seconds > 0 && elapsed >= seconds) break;
        }
        std::fputc('\n', stderr);
        engine.StopEngine();
        engine.JoinThreads();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
    engine.SetDevices(nullptr, nullptr, nullptr);
    engine.SetPointer(nullptr);
    return 0;
}

} // namespace mw::cli
