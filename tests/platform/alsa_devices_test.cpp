#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "audio/wave_out_manager.hpp"
#include "platform/alsa_input.hpp"
#include "platform/alsa_midi.hpp"
#include "platform/alsa_output.hpp"
#include "sources/midi_in_manager.hpp"
#include "sources/wave_in_manager.hpp"

namespace mw::platform {
namespace {

using namespace std::chrono_literals;

template <class F> bool WaitFor(F&& condition, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// ALSA's "null" PCM exists without a sound card: it takes every frame and plays it at once.
TEST(AlsaOutputThreading, NullPcmPlaysBlocksThroughTheWriterThread) {
    AlsaOutputBackend backend(AlsaOutputBackend::Options{"null"});
    WaveOutManager out(backend);
    OutputBlock left, right;
    for (int i = 0; i < kMaxBlockSamples; ++i) {
        left.samples[size_t(i)] = 500.0 * std::sin(i * 0.1);
        right.samples[size_t(i)] = -left.samples[size_t(i)];
    }
    int accepted = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int b = 0; b < 300; ++b) {
        out.BeginBlock();
        int64_t queued = -1;
        accepted += out.Submit(99, left, &queued);
        accepted += out.Submit(199, right, &queued);
        EXPECT_GE(queued, 0);
        out.EndBlock();
        out.SendEnded();
        std::this_thread::sleep_for(500us);
    }
    EXPECT_EQ(accepted, 600);
    EXPECT_TRUE(out.IsOpen(-1));
    // Every block is sent and played: nothing stays queued.
    EXPECT_TRUE(WaitFor([&] { return out.QueuedBlocks(-1) == 0; }, 3000ms)) << out.QueuedBlocks(-1);
    // The null PCM reports no delay, so it is played by the clock: the 600 ms of blocks submitted within
    // about 150 ms are played in about 600 ms, not as fast as they come.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 450ms);
    out.BeginBlock();
    out.EndBlock(); // a block without use closes it
    EXPECT_FALSE(out.IsOpen(-1));
    EXPECT_EQ(out.Underruns(), 0u);
}

TEST(AlsaOutputThreading, UnknownDevicesFailAndSayWhyOnce) {
    AlsaOutputBackend backend(AlsaOutputBackend::Options{"no-such-pcm-mw"});
    WaveOutManager out(backend);
    std::vector<std::string> messages;
    out.SetMessageCallback([&](const std::string& text) { messages.push_back(text); });
    OutputBlock block;
    for (int b = 0; b < 3; ++b) {
        out.BeginBlock();
        EXPECT_FALSE(out.Submit(99, block, nullptr));
        EXPECT_FALSE(out.Submit(200 + 3996, block, nullptr)); // the right channel of device 3996
        out.EndBlock();
    }
    EXPECT_EQ(out.OpenDeviceCount(), 0);
    EXPECT_EQ(messages,
              (std::vector<std::string>{
                  "The ALSA output device \"no-such-pcm-mw\" cannot be opened: No such file or directory.",
                  "There is no ALSA output device 3996."}));
}

TEST(AlsaDevices, PcmListsNameEveryDevice) {
    AlsaOutputBackend output;
    AlsaInputBackend input;
    std::string name;
    const auto namesEveryDevice = [&name](auto& backend) {
        for (int i = 0; i < backend.DeviceCount(); ++i) {
            EXPECT_TRUE(backend.DeviceName(i, name)) << i;
            EXPECT_FALSE(name.empty()) << i;
            EXPECT_EQ(name.find('\n'), std::string::npos);
        }
        EXPECT_FALSE(backend.DeviceName(backend.DeviceCount(), name));
    };
    namesEveryDevice(output);
    namesEveryDevice(input);
    WaveOutManager out(output);
    const DeviceChoices list = out.ListDevices(-555, true);
    EXPECT_GE(list.entries.size(), size_t(output.DeviceCount()) + 1);
    EXPECT_EQ(list.selected, 0);
}

TEST(AlsaInputThreading, NullPcmCapturesAtRealTimePace) {
    AlsaInputBackend backend(AlsaInputBackend::Options{"null"});
    WaveInManager in(backend);
    const auto start = std::chrono::steady_clock::now();
    std::array<int16_t, kInputBufferSamples> first{}, second{};
    uint64_t position = 0;
    bool read = false;
    while (std::chrono::steady_clock::now() - start < 3s) {
        read = in.ReadInput(-1, position, first, second, 0) || read;
        in.BeginInputBlock();
        ASSERT_TRUE(in.UseInputDevice(-1));
        in.EndInputBlock();
        in.RequeueCaptured();
        if (read && in.CapturedBuffers(-1) >= 20) break;
        std::this_thread::sleep_for(2ms);
    }
    const auto elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_TRUE(read);
    const uint32_t captured = in.CapturedBuffers(-1);
    EXPECT_GE(captured, 20u);
    EXPECT_LE(captured, uint32_t(elapsedMs / 2 + 20)); // never much faster than 2 ms per buffer
    EXPECT_EQ(first[0], 0);                            // the null device captures silence
    in.CloseAllInput();
    EXPECT_FALSE(in.IsOpen(-1));
}

TEST(AlsaMidiConversion, SequencerEventsBecomeShortMessages) {
    // Status byte (kind | channel), then the two data bytes; a clock has no short message. Pitch bend: the
    // sequencer's centre 0 is 8192 = 0x40 << 7, sent as low seven bits, then high seven bits.
    const struct {
        void (*set)(snd_seq_event_t&);
        uint32_t message;
    } cases[] = {{[](snd_seq_event_t& ev) { snd_seq_ev_set_noteon(&ev, 1, 60, 100); }, 0x643C91u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_noteoff(&ev, 1, 60, 64); }, 0x403C81u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_keypress(&ev, 2, 40, 33); }, 0x2128A2u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_controller(&ev, 0, 7, 127); }, 0x7F07B0u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_pgmchange(&ev, 5, 12); }, 0x0CC5u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_chanpress(&ev, 0, 90); }, 0x5AD0u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_pitchbend(&ev, 3, 0); }, 0x4000E3u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_pitchbend(&ev, 3, -8192); }, 0x0000E3u},
                 {[](snd_seq_event_t& ev) { snd_seq_ev_set_pitchbend(&ev, 3, 8191); }, 0x7F7FE3u},
                 {[](snd_seq_event_t& ev) { ev.type = SND_SEQ_EVENT_CLOCK; }, 0u}}; // none
    for (const auto& c : cases) {
        snd_seq_event_t ev{};
        c.set(ev);
        uint32_t m = 0;
        ASSERT_EQ(SequencerEventToShortMessage(ev, m), c.message != 0) << std::hex << c.message;
        EXPECT_EQ(m, c.message) << std::hex << c.message;
    }
}

// Runs against the real sequencer when the machine has one; without one there are no MIDI devices.
TEST(AlsaMidiThreading, SequencerPortDeliversMessages) {
    if (::access("/dev/snd/seq", F_OK) != 0) {
        AlsaMidiBackend backend;
        EXPECT_EQ(backend.DeviceCount(), 0);
        MidiInManager midi(backend);
        midi.BeginMidiBlock();
        EXPECT_FALSE(midi.UseMidiDevice(0));
        midi.EndMidiBlock();
        return;
    }
    if (::access("/dev/snd/seq", R_OK | W_OK) != 0) GTEST_SKIP() << "the ALSA sequencer is not open to us";
    snd_seq_t* source = nullptr;
    ASSERT_EQ(snd_seq_open(&source, "default", SND_SEQ_OPEN_OUTPUT, 0), 0);
    snd_seq_set_client_name(source, "Murmelwerk Test Source");
    const std::string portName = "Murmelwerk Test Keys " + std::to_string(::getpid());
    const int port = snd_seq_create_simple_port(
        source, portName.c_str(), SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    ASSERT_GE(port, 0);

    AlsaMidiBackend backend;
    int device = -1;
    for (int i = 0; i < backend.DeviceCount(); ++i) {
        std::string name;
        if (backend.DeviceName(i, name) && name == portName) device = i;
    }
    ASSERT_GE(device, 0) << "our port is not listed";

    MidiInManager midi(backend);
    midi.BeginMidiBlock();
    ASSERT_TRUE(midi.UseMidiDevice(device));
    midi.EndMidiBlock();

    auto send = [&](auto set) {
        snd_seq_event_t ev{};
        snd_seq_ev_set_source(&ev, port);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        set(ev);
        snd_seq_event_output_direct(source, &ev);
    };
    send([](snd_seq_event_t& ev) { snd_seq_ev_set_noteon(&ev, 1, 60, 100); });
    send([](snd_seq_event_t& ev) { snd_seq_ev_set_controller(&ev, 0, 7, 127); });
    EXPECT_TRUE(WaitFor([&] { return midi.GetLastIndex(device) == 0xB0 * 128 + 7; }, 2000ms));
    std::array<uint8_t, kMidiNoteTableSize> notes{};
    uint64_t stamp = kNoNoteStamp;
    ASSERT_TRUE(midi.CopyNoteVelocities(device, notes, stamp));
    EXPECT_EQ(notes[128 + 60], 100);
    EXPECT_EQ(midi.ReadLastValue(device, 0xB0 * 128 + 7), 127.0);
    midi.CloseAllMidi();
    snd_seq_close(source);
}

} // namespace
} // namespace mw::platform
