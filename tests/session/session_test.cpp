// The session as its owners use it: a load's two passes, and the user interface's poll while the engine
// plays on its own threads.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../engine/test_pointer.hpp"
#include "audio/memory_output.hpp"
#include "engine/kinds/note_modules.hpp"
#include "session/session.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"

namespace mw {
namespace {

using K = ModuleKind;

class ManualClock final : public IClock {
public:
    double Milliseconds() override { return ms; }
    double ms = 1000.0;
};

struct Devices {
    MemoryOutputBackend output;
    MemoryMidiBackend midi{{{"Keys", {}}, {"Knobs", {}}}};
    MemoryInputBackend input;
    test::TestPointer pointer;
    SessionDevices Get() { return {output, midi, input, pointer}; }
};

// A gain reads a sequence by its name: linked means the name has become the sequence's slot.
TEST(Session, ALoadLinksAtOnceOfflineAndAtThePollTenMillisecondsLaterLive) {
    const std::u16string text = u"[Module_ControlSequence]\r\nName=Tune\r\n"
                                u"[Module_ControlGain]\r\nInputSource=Tune\r\nInputSourceSubType=0\r\n";
    struct Case {
        SessionMode mode;
        double pollAfterMs; // one poll this long after the load
        bool linked;
    };
    for (const Case c : {Case{SessionMode::Offline, 0, true}, Case{SessionMode::Live, 0, false},
                         Case{SessionMode::Live, 9.9, false}, Case{SessionMode::Live, 10, true}}) {
        SCOPED_TRACE(c.pollAfterMs);
        Devices d;
        ManualClock clock;
        Session session(d.Get(), c.mode, &clock);
        EXPECT_EQ(session.Load(text), 2u);
        clock.ms += c.pollAfterMs;
        if (c.mode == SessionMode::Live) {
            EXPECT_EQ(session.Poll(), c.linked);
        }
        const Module* tune = session.GetPatch().Modules(K::ControlSequence).at(0);
        const Module* gain = session.GetPatch().Modules(K::ControlGain).at(0);
        EXPECT_EQ(gain->Link(gain::Input).source == tune->slot[0].load(), c.linked);
        EXPECT_EQ(session.LinkPending(), !c.linked);
    }
}

// While the engine plays on its threads, the poll gives a moved controller a slider of its own and
// writes the notes a sequence caught into its text.
TEST(SessionThreading, LivePollLearnsAMidiSliderAndCatchesNotes) {
    Devices d;
    Session session(d.Get(), SessionMode::Live);
    session.Load(u"[Module_ControlSequence]\r\nSequenceValue=C4\r\nRecordingSourceID=0\r\n"
                 u"[Module_ControlMIDIControllerInput]\r\nInputDeviceID=1\r\n");
    Patch& patch = session.GetPatch();
    Module* tune = patch.Modules(K::ControlSequence).at(0);
    Module* knobs = patch.Modules(K::ControlMIDIControllerInput).at(0);
    SetSliderLearning(*knobs, true);
    Engine& engine = session.GetEngine();
    session.StartEngine();
    // The user interface's timer, until `done` or a deadline far beyond any scheduling delay.
    const auto pollUntil = [&](const auto& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(Session::kPollPeriodMs));
            session.Poll();
        }
        return done();
    };
    // The modules open their devices in a block; from the next block on they see every message.
    ASSERT_TRUE(pollUntil([&] { return d.midi.IsOpen(0) && d.midi.IsOpen(1); }));
    const int64_t opened = engine.blockCounter;
    ASSERT_TRUE(pollUntil([&] { return engine.blockCounter > opened + 1; }));
    d.midi.Send(1, 0xB2 | 7 << 8 | 100 << 16); // controller 7 on channel 3
    d.midi.Send(0, 0x90 | 64 << 8 | 90 << 16); // E5
    d.midi.Send(0, 0x90 | 70 << 8 | 90 << 16); // A#5
    ASSERT_TRUE(
        pollUntil([&] { return knobs->sliderCount == 1 && tune->texts[sequence::SequenceText].size() > 2; }));
    EXPECT_EQ((*knobs->sliders)[0].controller, 0xB2 * 128 + 7);
    const int slot = (*knobs->sliders)[0].slot;
    ASSERT_GE(slot, 0);
    EXPECT_EQ(engine.slots[size_t(slot)].module.load(), knobs);
    ASSERT_TRUE(pollUntil([&] { return tune->texts[sequence::SequenceText] == "C4E5A#5"; }))
        << tune->texts[sequence::SequenceText];
    ASSERT_TRUE(pollUntil([&] { return SequenceStepCount(*tune) == 3; }));
    session.StopEngine();
    EXPECT_FALSE(session.EngineRunning());
}

} // namespace
} // namespace mw
