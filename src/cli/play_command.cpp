#include "cli/play_command.hpp"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/wave_writer_registry.hpp"
#include "base/file_io.hpp"
#include "cli/gesture_recorder.hpp"
#include "cli/render_command.hpp"
#include "platform/alsa_common.hpp"
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

// Texts posted by other threads for the user-interface thread to show. Post takes the lock only to
// append; the poll takes the texts out.
class Messages {
public:
    void Post(const std::string& text) {
        std::lock_guard lock(mutex_);
        if (texts_.size() < 16) texts_.push_back(text);
    }
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        std::lock_guard lock(mutex_);
        out.swap(texts_);
        return out;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> texts_;
};

// Whether this process may schedule threads in real time: the engine and the device threads ask for
// SCHED_FIFO and quietly keep normal scheduling without the right to it; a probe thread asks the same.
bool RealTimeGranted() {
    bool granted = false;
    std::thread probe([&granted] {
        sched_param p{};
        p.sched_priority = sched_get_priority_min(SCHED_FIFO);
        granted = pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
    });
    probe.join();
    return granted;
}

bool OnWayland() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return (display && *display) || (type && std::string(type) == "wayland");
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

    platform::AlsaOutputBackend::Options outOptions;
    if (!o.outputDevice.empty()) outOptions.defaultPcm = o.outputDevice;
    platform::AlsaInputBackend::Options inOptions;
    if (!o.inputDevice.empty()) inOptions.defaultPcm = o.inputDevice;
    platform::AlsaOutputBackend outBackend(outOptions);
    platform::AlsaMidiBackend midiBackend;
    platform::AlsaInputBackend inBackend(inOptions);
    RecordingPointer recorder(*pointer);
    IPointer& sampled = o.recordGesture.empty() ? static_cast<IPointer&>(*pointer) : recorder;
    Session session({outBackend, midiBackend, inBackend, sampled}, SessionMode::Live);
    // The managers report from the engine thread: the texts wait here until the poll below prints them.
    Messages messages;
    session.Outputs().SetMessageCallback([&messages](const std::string& text) { messages.Post(text); });
    session.Inputs().SetMessageCallback([&messages](int) {
        messages.Post("The audio-input device is already in use and so cannot be used at the moment.");
    });
    Engine& engine = session.GetEngine();
    engine.controlRate = o.controlRate;
    engine.outputLatencyMs = o.latencyMs;
    engine.realTimePriority = true; // a player on the command line has no preference to ask
    engine.drawPictures = false;    // no window shows an analyzer's picture
    session.SamplerControls().wrapMouse = true;
    session.StartSampler();
    if (!LoadPatchSource(session, o)) return 1;
    std::vector<const Module*> writers;
    if (o.recordWriters) {
        const int status = StartPatchWriters(session, {o.patchFile, o.recordWav, o.recordGesture}, writers);
        if (status != 0) {
            StopPatchWriters(session, writers);
            return status;
        }
    }

    // --record: the output of device -1, through the wave writer as a wave-writer module records it.
    Module writer(ModuleKind::AudioWaveWriter);
    writer.texts[wave_writer::FilePath] = o.recordWav;
    writer.bools[wave_writer::Append] = false;
    writer.devices[wave_writer::Output] = -1;
    errno = 0;
    if (!o.recordWav.empty() &&
        session.Recordings().StartRecording(writer) != WaveWriterRegistry::StartResult::Started) {
        std::cerr << "murmelwerk-render: cannot record into '" << o.recordWav
                  << "': " << (errno ? std::strerror(errno) : "the file cannot be created") << "\n";
        return 1;
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    session.StartEngine();
    std::string description;
    outBackend.DeviceName(-1, description);
    std::cerr << "Playing " << session.GetPatch().TotalCount() << " module(s) on display "
              << pointer->DisplayName() << ". Move the mouse; Ctrl+C stops.\n"
              << "Output device -1: ALSA PCM '" << outOptions.defaultPcm << "'"
              << (description.empty() ? "" : " (" + description + ")") << "; desired latency " << o.latencyMs
              << " ms; real-time scheduling "
              << (RealTimeGranted() ? "granted" : "not granted (normal priority)") << ".\n";
    if (OnWayland())
        std::cerr << "Wayland session: the mouse measures follow the mouse only while the cursor is over X11 "
                     "windows, and the edge wrap has no effect (see the README, \"Wayland sessions\").\n";
    // The user interface's timer: the poll every 10 ms while it has work (the load's link pass, learned
    // MIDI sliders, caught notes), the status line every 250 ms. A patch without such modules is looked
    // at only for the status line: nothing else here needs this thread awake.
    using Clock = std::chrono::steady_clock;
    constexpr auto kPollPeriod = std::chrono::milliseconds(Session::kPollPeriodMs);
    constexpr auto kStatusPeriod = std::chrono::milliseconds(250);
    const auto start = Clock::now();
    const auto end =
        seconds > 0
            ? start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))
            : Clock::time_point::max();
    auto next = start;
    auto nextStatus = start + kStatusPeriod;
    bool warned = false;
    while (!gInterrupted) {
        next = session.PollHasWork() ? next + kPollPeriod : std::min(nextStatus, end);
        std::this_thread::sleep_until(next);
        const auto now = Clock::now();
        if (now - next > 10 * kPollPeriod) next = now; // a long stall: no catching up
        session.Poll();
        for (const std::string& text : messages.Take()) std::cerr << "\rmurmelwerk-render: " << text << "\n";
        if (now >= end) break;
        if (now < nextStatus) continue;
        nextStatus += kStatusPeriod;
        if (now - nextStatus > kStatusPeriod) nextStatus = now + kStatusPeriod;
        const double elapsed = std::chrono::duration<double>(now - start).count();
        if (!warned && elapsed > 1.0 && session.Outputs().OpenDeviceCount() == 0) {
            warned = true;
            std::fprintf(stderr,
                         "\rNo output device is playing: either the patch sends nothing to a device, or "
                         "ALSA's output device cannot be opened (see above; it is tried again after a "
                         "pause). `aplay -L` lists the devices.\n");
        }
        std::fprintf(
            stderr, "\rlatency %5.1f ms (measured)   underruns %llu   Speed %7.1f (5 per pixel per 10 ms)   ",
            engine.measuredLatency.load(), (unsigned long long)session.Outputs().Underruns(),
            engine.rawMeasures[int(MouseMeasure::Speed)].load());
        std::fflush(stderr);
    }
    std::fputc('\n', stderr);
    session.StopEngine();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    int status = StopPatchWriters(session, writers) ? 0 : 1;
    if (!o.recordWav.empty()) {
        int writeError = 0;
        session.Recordings().StopRecording(writer, &writeError);
        if (writeError != 0) {
            std::cerr << "murmelwerk-render: cannot write '" << o.recordWav
                      << "': " << std::strerror(writeError) << "\n";
            status = 1;
        }
    }
    if (!o.recordGesture.empty()) {
        const std::string csv = recorder.Csv(); // the sampler goes on reading: one snapshot for both
        const long iterations = long(std::count(csv.begin(), csv.end(), '\n')) - 1;
        if (const int e = ReplaceFile(o.recordGesture, csv); e != 0) {
            std::cerr << "murmelwerk-render: cannot write '" << o.recordGesture << "': " << std::strerror(e)
                      << "\n";
            return 1;
        }
        const ScreenRect screen = pointer->Screen();
        std::cerr << "Recorded " << iterations << " sampler iterations into " << o.recordGesture
                  << "; render them with --gesture " << o.recordGesture << " --screen " << screen.Width()
                  << "x" << screen.Height() << " --seconds " << double(iterations) / 100.0 << "\n";
    }
    return status;
}

int ListDevicesCommand() {
    const auto pcms = [](const char* title, snd_pcm_stream_t direction, const std::string& key) {
        std::printf("%s (%s; --%s-device takes the ALSA name for device -1):\n", title, key.c_str(),
                    direction == SND_PCM_STREAM_PLAYBACK ? "output" : "input");
        std::string description;
        platform::DefaultPcmDescription(direction, description);
        std::printf("  %3d  %-28s %s\n", -1, "default", description.c_str());
        int n = 0;
        for (const platform::PcmHint& h : platform::ListPcms(direction))
            std::printf("  %3d  %-28s %s\n", n++, h.name.c_str(), h.description.c_str());
    };
    pcms("Playback", SND_PCM_STREAM_PLAYBACK, "OutputDeviceID");
    pcms("Capture", SND_PCM_STREAM_CAPTURE, "InputDeviceID of Module_AudioInput");
    std::printf("MIDI input (InputDeviceID of the MIDI kinds, RecordingSourceID):\n");
    platform::AlsaMidiBackend midi;
    const int count = midi.DeviceCount();
    for (int i = 0; i < count; ++i) {
        std::string name;
        if (midi.DeviceName(i, name)) std::printf("  %3d  %s\n", i, name.c_str());
    }
    if (count == 0) std::printf("  (none)\n");
    return 0;
}

} // namespace mw::cli
