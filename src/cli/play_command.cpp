#include "cli/play_command.hpp"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>

#include "cli/render_command.hpp"
#include "platform/alsa_input.hpp"
#include "platform/alsa_midi.hpp"
#include "platform/alsa_output.hpp"
#include "platform/x11_pointer.hpp"
#include "session/session.hpp"

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
    Session session({outBackend, midiBackend, inBackend, *pointer}, SessionMode::Live);
    session.Inputs().SetMessageCallback([](int) {
        std::cerr
            << "murmelwerk-render: The audio-input device is already in use and so cannot be used at the "
               "moment.\n";
    });
    Engine& engine = session.GetEngine();
    engine.controlRate = o.controlRate;
    engine.outputLatencyMs = 60;
    session.SamplerControls().wrapMouse = true;
    session.StartSampler();
    if (!LoadPatchSource(session, o)) return 1;

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    session.StartEngine();
    std::cerr << "Playing " << session.GetPatch().TotalCount() << " module(s) on display "
              << pointer->DisplayName() << ". Move the mouse; Ctrl+C stops.\n";
    // The user interface's timer: the poll every 10 ms (the load's link pass, learned MIDI sliders,
    // caught notes), the status line every 250 ms.
    using Clock = std::chrono::steady_clock;
    constexpr auto kPeriod = std::chrono::milliseconds(Session::kPollPeriodMs);
    constexpr int kPollsPerStatus = 25;
    const auto start = Clock::now();
    auto next = start;
    bool warned = false;
    for (int poll = 1; !gInterrupted; ++poll) {
        next += kPeriod;
        std::this_thread::sleep_until(next);
        if (Clock::now() - next > 10 * kPeriod) next = Clock::now(); // a long stall: no catching up
        session.Poll();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds > 0 && elapsed >= seconds) break;
        if (poll % kPollsPerStatus != 0) continue;
        if (!warned && elapsed > 1.0 && session.Outputs().OpenDeviceCount() == 0) {
            warned = true;
            std::fprintf(stderr,
                         "\rNo output device is playing: either the patch sends nothing to a device, or "
                         "ALSA's output device cannot be opened (it is tried again every block).\n");
        }
        std::fprintf(stderr, "\rlatency %5.1f ms   speed %7.1f   ", engine.measuredLatency.load(),
                     engine.rawMeasures[int(MouseMeasure::Speed)].load());
        std::fflush(stderr);
    }
    std::fputc('\n', stderr);
    session.StopEngine();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return 0;
}

} // namespace mw::cli
