#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "control_test_support.hpp"
#include "engine/kinds/note_modules.hpp"
#include "engine/note_sequence.hpp"
#include "patch/patch_poll.hpp"

namespace mw {
namespace {

using K = ModuleKind;
using Heard = std::vector<int>;

using test::Pitch;

class NoteModulesTest : public ::testing::Test, public test::ControlFixture {
protected:
    // An envelope on a manual input of value 10 (pitch 100, velocity 127): attack 50 ms, decay 50 ms,
    // sustain 50 %, release 200 ms, no ratio, no smoothing.
    Module* Envelope(int mode) {
        using namespace note_envelope;
        Module* m = Create(K::ControlNoteEnvelope);
        m->enums[OutputMode] = mode;
        // Attack, RatioAttackLevelToVelocity, Decay, Sustain, Release, Smoothing.
        const double settings[] = {50, 0, 50, 50, 200, 0};
        for (int k = Attack; k <= Smoothing; ++k) m->Link(k).value = settings[k];
        Manual(m, Input, 10);
        return m;
    }
    Module* Sequence(const std::string& text, double bpm, double noteLengthMs) {
        using namespace sequence;
        Module* m = Create(K::ControlSequence);
        SetText(m, text);
        m->Link(BPM).value = bpm;
        m->Link(NoteLength).value = noteLengthMs;
        return m;
    }
    void SetText(Module* m, const std::string& text) {
        m->texts[sequence::SequenceText] = text;
        engine.Ops(K::ControlSequence).textChanged(*m);
    }
    Module* DingDong() {
        Module* m = Create(K::AudioDingDong);
        m->devices[ding_dong::Output] = kNoOutputDevice;
        return m;
    }
    Module* Slider() { // on MIDI device 0
        midi.Plug(0);
        Module* m = Create(K::ControlMIDIControllerInput);
        m->ints[midi_slider::InputDevice] = 0;
        return m;
    }
    Heard Notes(const Module* m) {
        Heard notes;
        const ModuleSlot& s = Out(m);
        for (int v = 0; v < s.voiceCount; ++v) notes.push_back(s.note[size_t(v)]);
        return notes;
    }
};

TEST_F(NoteModulesTest, EnvelopeRisesDecaysSustainsAndReleasesFromItsCurrentLevel) {
    Module* env = Envelope(3); // "Replace Signal": 1000 x level
    ModuleSlot& out = Out(env);
    EXPECT_EQ(out.voiceCount, 0); // starts without voices
    const auto after = [&](int ticks, double expected) {
        Ticks(ticks);
        EXPECT_EQ(out.voiceCount, 1);
        EXPECT_NEAR(out.value[0], expected, 1e-9);
    };
    // A second envelope smooths its level: k = 25 x 0.01 x 2 ms = 0.5 of the way each tick.
    Module* smoothed = Envelope(3);
    smoothed->Link(note_envelope::Smoothing).value = 25;
    after(1, 0.0);  // time 0
    after(1, 40.0); // time 2 ms of a 50 ms attack
    EXPECT_NEAR(Out(smoothed).value[0], 20.0, 1e-9);
    after(1, 80.0);
    EXPECT_NEAR(Out(smoothed).value[0], 50.0, 1e-9);
    after(23, 1000.0);                                   // time 50: the peak (1 with no ratio)
    after(1, (0.5 * (1.0 - 2.0 / 50.0) + 0.5) * 1000.0); // 2 ms into the decay to 0.5
    after(24, 500.0);                                    // time 100: sustain
    after(5, 500.0);
    // Release: the note leaves the input; the level falls linearly from 0.5 over 200 ms.
    env->Link(note_envelope::Input).source = kNoSource;
    after(1, 500.0);
    after(1, (1.0 - 2.0 / 200.0) * 500.0);
    const double level = (1.0 - 98.0 / 200.0) * 0.5;
    after(48, level * 1000.0); // time 98 of the release
    // Restart: the attack resumes from the current level (time = level / peak x attack).
    env->Link(note_envelope::Input).source = kManualSource;
    after(1, level * 1000.0);
    after(1, (level * 50.0 + 2.0) / 50.0 * 1000.0);
}

TEST_F(NoteModulesTest, EnvelopeReleasedDuringTheAttackStartsFromTheLevelReachedAndThenEnds) {
    Module* env = Envelope(3);
    Ticks(11); // time 20: level 0.4
    EXPECT_NEAR(Out(env).value[0], 400.0, 1e-9);
    env->Link(note_envelope::Input).source = kNoSource;
    // Release time (1 - 0.4 / 0.5) x 200 = 40: level 0.4 still, then falling.
    for (double t : {40.0, 42.0}) {
        Ticks(1);
        EXPECT_NEAR(Out(env).value[0], (1.0 - t / 200.0) * 500.0, 1e-9);
    }
    Ticks(77); // release times up to 196 ms: still sounding
    EXPECT_EQ(Out(env).voiceCount, 1);
    Ticks(1); // the release time reaches 200 ms: the entry is removed
    EXPECT_EQ(Out(env).voiceCount, 0);
}

TEST_F(NoteModulesTest, EnvelopeOutputModesAtTheSustainLevel) {
    // Sustain level 0.5, pitch 100, velocity 127 x 50 % = 63.5.
    struct Expect {
        int mode;
        double value, velocity;
    };
    const Expect table[] = {{0, 100, 31.75}, {1, 100, 63.5}, {2, 50, 63.5}, {3, 500, 63.5},
                            {4, 50, 31.75},  {5, 500, 63.5}, {6, 0, 63.5},  {7, 500, 127}};
    std::vector<Module*> envs;
    for (const Expect& x : table) {
        Module* m = Envelope(x.mode);
        m->reals[note_envelope::InputVelocity] = 50;
        envs.push_back(m);
    }
    Module* zero = Envelope(3); // a sustain of 0 holds one ten-millionth
    zero->Link(note_envelope::Sustain).value = 0;
    Ticks(60);
    for (size_t i = 0; i < envs.size(); ++i) {
        SCOPED_TRACE(table[i].mode);
        EXPECT_NEAR(Out(envs[i]).value[0], table[i].value, 1e-9);
        EXPECT_NEAR(Out(envs[i]).velocity[0], table[i].velocity, 1e-9);
        EXPECT_EQ(Out(envs[i]).note[0], 0);
    }
    EXPECT_NEAR(Out(zero).value[0], 1e-05 * 0.01 * 1000.0, 1e-15);
    EXPECT_GT(Out(zero).value[0], 0.0);
}

TEST_F(NoteModulesTest, EnvelopeKeepsOneVoicePerNoteAndReplaceSignalShapesAnyPitch) {
    Module* poly = Poly({0, 20, 30});
    poly->Link(polyphonicator::Input1).source = Measure(MouseMeasure::Speed, 12345.0);
    poly->reals[polyphonicator::Velocity1] = 50; // velocity 63.5
    Ticks(1); // the polyphonicator (evaluated after the envelope) has made its voices
    Module* env = Envelope(3);
    env->Link(note_envelope::Input).source = poly->slot[0].load();
    env->Link(note_envelope::Attack).value = 10;
    Ticks(2); // time 2 of a 10 ms attack
    EXPECT_EQ(Notes(env), (Heard{1, 2, 3}));
    // The same level whatever the pitch, and the input velocity.
    EXPECT_EQ(std::tuple(Out(env).value[0].load(), Out(env).value[1].load(), Out(env).velocity[0].load()),
              std::tuple(200.0, 200.0, 63.5));
    Ticks(4); // the peak: 1000
    EXPECT_NEAR(Out(env).value[0], 1000.0, 1e-9);
}

TEST_F(NoteModulesTest, PolyphonicatorNumbersItsInputsAndSumsVoicesOfTheSameNote) {
    Module* a = Poly({10, 20}); // manual input k is note k, of value 10 x its value
    Module* poly = Poly({});
    poly->Link(polyphonicator::Input1).source = a->slot[0].load();
    poly->Link(polyphonicator::Input2).source = a->slot[0].load();
    poly->Link(polyphonicator::Input2).sensitivity = 50;
    poly->reals[polyphonicator::Velocity2] = 50;
    poly->Link(polyphonicator::Input3).source = Measure(MouseMeasure::Direction, 7.0);
    Ticks(2);
    EXPECT_EQ(Notes(a), (Heard{1, 2}));
    // Notes 1 and 2 from both inputs: value x (1 + 0.5); velocity (0.5 x 127 + 127) / 2; the measure is
    // note 3.
    EXPECT_EQ(Notes(poly), (Heard{1, 2, 3}));
    const ModuleSlot& s = Out(poly);
    EXPECT_EQ((std::array<double, 4>{s.value[0], s.value[1], s.value[2], s.velocity[0]}),
              (std::array{150.0, 300.0, 7.0, (63.5 + 127.0) * 0.5}));
}

TEST_F(NoteModulesTest, NoteRetardGlidesEachNewNoteFromTheLatestNote) {
    Module* poly = Poly({30});
    Module* ret = Create(K::ControlNoteRetard);
    ret->Link(note_retard::Input).source = poly->slot[0].load();
    ret->Link(note_retard::Input).sensitivity = 100;
    // Retardation 50: half the distance is left after 40 ms, i.e. after 20 ticks of 2 ms.
    const double q = std::pow(0.5, 1.0 / 20.0);
    Ticks(1); // the polyphonicator has not run yet: its slot holds one voice of value 0, note 0
    poly->Link(polyphonicator::Input1).source = kNoSource;
    Ticks(1); // note 1 (value 300) arrives and starts from the latest note's value, 0
    EXPECT_EQ(Notes(ret), (Heard{1}));
    EXPECT_NEAR(Out(ret).value[0], (1.0 - q) * 300.0, 1e-9);
    ASSERT_EQ(Out(poly).voiceCount, 0);
    Ticks(1); // note 1 is gone
    EXPECT_EQ(Out(ret).voiceCount, 0);
    Manual(poly, polyphonicator::Input2, 50);
    Ticks(2); // note 2 (500) glides from 300, the value of the note added last
    EXPECT_EQ(Notes(ret), (Heard{2}));
    EXPECT_NEAR(Out(ret).value[0], (1.0 - q) * 500.0 + q * 300.0, 1e-9);
    Ticks(1);
    EXPECT_NEAR(Out(ret).value[0], 500.0 - q * q * 200.0, 1e-9);
    EXPECT_NEAR(Out(ret).velocity[0], 127.0, 1e-12);
}

TEST_F(NoteModulesTest, NoteRetardStartsFromASetStartValue) {
    const auto retard = [&](double retardation) {
        Module* m = Create(K::ControlNoteRetard);
        Manual(m, note_retard::Input, 440);
        Manual(m, note_retard::RetardationSource, 40);
        m->Link(note_retard::Retardation).value = retardation;
        return m;
    };
    Module* none = retard(0);   // no glide at all
    Module* full = retard(100); // never moves from the start value
    for (int t = 1; t <= 3; ++t) {
        Ticks(1);
        EXPECT_NEAR(Out(none).value[0], 440.0, 1e-12) << t;
        EXPECT_NEAR(Out(full).value[0], 40.0, 1e-12) << t;
    }
}

TEST(NoteSequenceText, StepsFollowTheNotationAndAnyTextIsAccepted) {
    using Steps = std::vector<uint8_t>;
    // A space is a silent step, a hyphen separates, a second digit is skipped, digits without notes and
    // other characters give nothing ("äC1日" in UTF-8 is note 12).
    const std::pair<const char*, Steps> rows[] = {{"B3D3F#3", {47, 38, 42}},
                                                  {"b3d3f#3", {47, 38, 42}},
                                                  {"B3 D3", {47, 128, 38}},
                                                  {"B3-D3", {47, 38}},
                                                  {"C#", {1}},
                                                  {"A#4", {58}},
                                                  {"C45", {48}},
                                                  {"  ", {128, 128}},
                                                  {"EFGAB", {4, 5, 7, 9, 11}},
                                                  {"", {}},
                                                  {"0123456789##", {}},
                                                  {"xyz-hij\t\n", {}},
                                                  {"\u00e4C1\u65e5", {12}}};
    for (const auto& [text, steps] : rows) EXPECT_EQ(ParseNoteSequence(text), steps) << text;
    for (uint8_t step : ParseNoteSequence(" #9 #")) EXPECT_GE(step, kSilentStep);
    std::string big;
    for (int i = 0; i < 25000; ++i) big += "c#4-";
    EXPECT_EQ(ParseNoteSequence(big), Steps(25000, 49));
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes.push_back(char(c));
    // What remains is " #0123456789ABCDEFGABCDEFG": a silent step (taking "#" and "0"), then A..G twice.
    EXPECT_EQ(ParseNoteSequence(bytes).size(), 15u);
    // The names the note catcher writes, which read back as the same note.
    EXPECT_EQ(std::tuple(NoteName(58), NoteName(0), NoteName(127)), std::tuple("A#4", "C0", "G10"));
    EXPECT_EQ(ParseNoteSequence(NoteName(58)), (Steps{58}));
}

// The notes heard tick by tick: 500 ticks/s x 60 / BPM ticks a step (30000 BPM: every tick); each note
// sounds for its length rounded up to whole ticks, at the pitch of its note.
TEST_F(NoteModulesTest, SequencePlaysItsStepsTickByTick) {
    struct Row {
        const char* text;
        double bpm, lengthMs;
        std::vector<Heard> heard;
    };
    // A step on every 5th tick, notes of 1 ms sounding for one tick; a space is a silent step, a hyphen
    // none; negative BPM plays backwards (step 0 first, then from the last step down); notes longer than a
    // step overlap (7 ms: 4 ticks).
    const Row rows[] = {
        {"C1D1E1", 6000, 1, {{}, {}, {}, {}, {12}, {}, {}, {}, {}, {14}, {}, {}, {}, {}, {16}, {}}},
        {"C1 -D1", 30000, 1, {{12}, {}, {14}, {12}}},
        {"C1D1E1", -30000, 1, {{12}, {16}, {14}, {12}, {16}, {14}, {12}}},
        {"C1D1E1F1G1A1",
         30000,
         7,
         {{12}, {12, 14}, {12, 14, 16}, {12, 14, 16, 17}, {14, 16, 17, 19}, {16, 17, 19, 21}}}};
    std::vector<Module*> seqs;
    for (const Row& r : rows) seqs.push_back(Sequence(r.text, r.bpm, r.lengthMs));
    for (size_t t = 0; t < 16; ++t) {
        Ticks(1);
        for (size_t i = 0; i < seqs.size(); ++i) {
            if (t >= rows[i].heard.size()) continue;
            SCOPED_TRACE(::testing::Message() << rows[i].text << " at " << rows[i].bpm << " BPM, tick " << t);
            EXPECT_EQ(Notes(seqs[i]), rows[i].heard[t]);
            for (int v = 0; v < Out(seqs[i]).voiceCount; ++v)
                EXPECT_NEAR(Out(seqs[i]).value[v], Pitch(Out(seqs[i]).note[v]), 1e-9);
        }
    }
}

TEST_F(NoteModulesTest, SequenceVelocityTransposeAndTuning) {
    Module* seq = Sequence("C1", 30000, 1); // a step on every tick
    seq->Link(sequence::NoteVelocity).value = 100;
    Ticks(1);
    EXPECT_EQ(std::tuple(int(Out(seq).voiceCount), Out(seq).velocity[0].load()), std::tuple(1, 100.0));
    seq->Link(sequence::Transpose).value = 12;
    seq->Link(sequence::Tuning).value = 50;
    Ticks(1);
    EXPECT_NEAR(Out(seq).value[0], Pitch(24.5), 1e-9);
    EXPECT_EQ(Out(seq).note[0], 12);
}

TEST_F(NoteModulesTest, SequenceBpmChangedWhilePlaying) {
    Module* turning = Sequence("C1D1E1", -30000, 1); // 12, 16, 14, 12, 16, 14, 12
    Module* stopped = Sequence("C1D1", 30000, 10);   // 10 ms: elapsed 0, 2, 4, 6, 8 sound
    Ticks(1);
    // BPM 0 stops the stepping but lets the note ring out.
    stopped->Link(sequence::BPM).value = 0;
    for (int t = 2; t <= 5; ++t) {
        Ticks(1);
        EXPECT_EQ(Notes(stopped), (Heard{12})) << t;
    }
    Ticks(1);
    EXPECT_TRUE(Notes(stopped).empty());
    Ticks(1);
    ASSERT_EQ(Notes(turning), (Heard{12}));
    turning->Link(sequence::BPM).value = 30000; // turning round
    Ticks(3);
    EXPECT_EQ(Notes(turning), (Heard{16}));
    Ticks(20);
    EXPECT_TRUE(Notes(stopped).empty());
}

TEST_F(NoteModulesTest, SequenceTakesANewTextAtTheNextTick) {
    Module* seq = Sequence("C1", 30000, 1);
    Ticks(2);
    EXPECT_EQ(Notes(seq), (Heard{12}));
    SetText(seq, "g2");
    EXPECT_EQ(SequenceStepCount(*seq), 1);
    Ticks(1);
    EXPECT_EQ(Notes(seq), (Heard{31}));
    // A text changed without notice is parsed by the model-thread poll.
    seq->texts[sequence::SequenceText] = "A0A0";
    ProcessSliderLearning(patch);
    EXPECT_EQ(SequenceStepCount(*seq), 2);
    Ticks(1);
    EXPECT_EQ(Notes(seq), (Heard{9}));
    // Many changes between ticks: only the last one counts, and nothing is lost or leaked.
    for (int i = 0; i < 10; ++i) SetText(seq, std::string(size_t(i + 1), 'E'));
    Ticks(1);
    EXPECT_EQ(Notes(seq), (Heard{4}));
    EXPECT_EQ(SequenceStepCount(*seq), 10);
}

TEST_F(NoteModulesTest, SequenceTextFromTheFileIsParsedAtCreation) {
    Module* m = nullptr;
    patch.SetSectionReader([&](Module& mod, std::u16string_view) {
        mod.texts[sequence::SequenceText] = "D2";
        mod.Link(sequence::BPM).value = 30000;
        m = &mod;
    });
    Module* seq = patch.CreateModule(K::ControlSequence, {}, {}, u"[Module_ControlSequence]");
    ASSERT_EQ(seq, m);
    EXPECT_EQ(SequenceStepCount(*seq), 1);
    Ticks(1);
    EXPECT_EQ(Notes(seq), (Heard{26}));
}

TEST_F(NoteModulesTest, NoteCatcherAppendsCaughtNotesToTheText) {
    midi.Plug(3);
    Module* seq = Sequence("C1", 0, 250);
    seq->ints[sequence::RecordingSource] = 3;
    midi.Send(3, 0x90, 60, 90); // held before the first delivery: only remembered
    Ticks(1);
    EXPECT_FALSE(ProcessSliderLearning(patch));
    EXPECT_EQ(seq->texts[sequence::SequenceText], "C1");
    midi.Send(3, 0x91, 58, 100); // A#4 on channel 2
    midi.Send(3, 0x90, 61, 100); // C#5
    Ticks(1);
    midi.Send(3, 0x81, 58, 0);
    Ticks(1);
    midi.Send(3, 0x92, 58, 1); // pressed again, on channel 3
    Ticks(1);
    EXPECT_TRUE(ProcessSliderLearning(patch));
    // Channel by channel, note by note: C#5 (channel 1) before A#4 (channel 2).
    EXPECT_EQ(std::tuple(seq->texts[sequence::SequenceText], SequenceStepCount(*seq)),
              std::tuple(std::string("C1C#5A#4A#4"), 4));
    EXPECT_FALSE(ProcessSliderLearning(patch));
}

TEST_F(NoteModulesTest, MidiInputPlaysHeldNotesInAscendingOrderPollingAtMost1000TimesASecond) {
    midi.Plug(2);
    Module* in = Create(K::ControlMIDIInput);
    Module* reversed = Create(K::ControlMIDIInput);
    reversed->bools[midi_input::ReversedNoteOrientation] = true;
    Ticks(1);
    in->ints[midi_input::InputDevice] = 2;
    reversed->ints[midi_input::InputDevice] = 2;
    midi.Send(2, 0x90, 64, 30);
    midi.Send(2, 0x90, 60, 100);
    midi.Send(2, 0x91, 60, 50); // a later channel wins
    Ticks(1);
    EXPECT_EQ(Notes(in), (Heard{60, 64}));
    EXPECT_NEAR(Out(in).value[0], Pitch(60), 1e-9);
    EXPECT_EQ(std::tuple(Out(in).velocity[0].load(), Out(in).velocity[1].load()), std::tuple(50.0, 30.0));
    in->Link(midi_input::Transpose).value = -12;
    in->Link(midi_input::Tuning).value = -50;
    Ticks(1);
    EXPECT_NEAR(Out(in).value[0], Pitch(47.5), 1e-9);
    midi.Send(2, 0x90, 64, 0); // note on with velocity 0 releases
    Ticks(1);
    EXPECT_EQ(Notes(in), (Heard{60}));
    EXPECT_EQ(Notes(reversed), (Heard{67})); // reversed, 60 maps to 67
    EXPECT_NEAR(Out(reversed).value[0], Pitch(67), 1e-9);
    // At 8 ticks a block a module polls its device every 4th tick (at most 1000 times a second); without the
    // device's state the outputs stay.
    reversed->ints[midi_input::InputDevice] = kNoMidiDevice;
    engine.controlRate = 4000.0;
    const int before = midi.polls;
    Ticks(3);
    EXPECT_EQ(midi.polls - before, 6);
    midi.Unplug(2);
    Ticks(1);
    EXPECT_EQ(Notes(in), (Heard{60}));
    in->ints[midi_input::InputDevice] = kNoMidiDevice;
    Ticks(1);
    EXPECT_EQ(Notes(in), (Heard{60}));
}

TEST_F(NoteModulesTest, MidiSliderMapsControllerValues) {
    Module* sl = Slider();
    const int32_t cc7 = 0xB0 * 128 + 7;
    ASSERT_TRUE(patch.AddSlider(sl, cc7, false));
    ASSERT_TRUE(patch.AddSlider(sl, cc7, true));
    const int s0 = (*sl->sliders)[0].slot, s1 = (*sl->sliders)[1].slot;
    // Controller value, then the positive slider (0..1000) and the negative one (-1000..1000).
    const double rows[][3] = {{64, 503.937024, 0.0}, {127, 1000.0, 1000.0}, {0, 0.0, -1000.0}};
    for (const auto& r : rows) {
        midi.Send(0, 0xB0, 7, uint8_t(r[0]));
        Ticks(1);
        EXPECT_NEAR(engine.slots[size_t(s0)].value[0], r[1], 1e-3) << r[0];
        EXPECT_NEAR(engine.slots[size_t(s1)].value[0], r[2], 1e-3) << r[0];
        EXPECT_FLOAT_EQ(SliderRawValue(*sl, 0), float(r[0]));
    }
}

TEST_F(NoteModulesTest, MidiSliderLearnsAControllerAndGivesItAnOutput) {
    Module* sl = Slider();
    // A controller moved, then what the model thread's poll makes of it.
    const auto moved = [&](uint8_t status, uint8_t d1, uint8_t d2, bool newSliderSigned = false) {
        midi.Send(0, status, d1, d2);
        Ticks(2);
        return ProcessSliderLearning(patch, newSliderSigned);
    };
    EXPECT_FALSE(moved(0xB0, 1, 10)); // moved before learning: not learned
    EXPECT_EQ(sl->sliderCount, 0);
    SetSliderLearning(*sl, true);
    EXPECT_TRUE(SliderLearning(*sl));
    midi.Send(0, 0xB3, 10, 90);
    Ticks(2);
    EXPECT_EQ(sl->sliderCount, 0); // the engine only asks
    EXPECT_TRUE(ProcessSliderLearning(patch, true));
    ASSERT_EQ(sl->sliderCount, 1);
    const SliderEntry& e = (*sl->sliders)[0];
    EXPECT_EQ(std::tuple(e.controller.load(), e.negative.load()), std::tuple(0xB3 * 128 + 10, true));
    ASSERT_GE(e.slot, 0);
    const ModuleSlot& first = engine.slots[size_t(e.slot.load())];
    EXPECT_EQ(std::tuple(first.module.load(), int(first.outputIndex)), std::tuple(sl, 0));
    Ticks(1);
    EXPECT_NEAR(first.value[0], (90 - 64) * 2 * 1.0079365 * 7.874016, 1e-9);
    EXPECT_FALSE(moved(0xB3, 10, 91)); // the same controller again, one already on a slider: nothing new
    EXPECT_EQ(sl->sliderCount, 1);
    EXPECT_TRUE(moved(0xE0, 0, 70)); // a second controller (pitch bend) gets a second output
    ASSERT_EQ(sl->sliderCount, 2);
    EXPECT_EQ(std::tuple((*sl->sliders)[1].controller.load(), (*sl->sliders)[1].negative.load()),
              std::tuple(0xE0 * 128, false));
    EXPECT_NE((*sl->sliders)[1].slot, e.slot);
    (*sl->sliders)[0].controller = -1; // a freed slider is taken first
    EXPECT_TRUE(moved(0xB0, 20, 5));
    EXPECT_EQ(std::tuple(sl->sliderCount.load(), (*sl->sliders)[0].controller.load()),
              std::tuple(2, 0xB0 * 128 + 20));
    ASSERT_TRUE(patch.SetSlider(sl, 3, 0xB0 * 128 + 30, false)); // slider 3 stays free, without an output
    (*sl->sliders)[3].controller = -1;                           // slider 4 is freed, keeping its output
    EXPECT_TRUE(moved(0xB0, 22, 5)); // the first free slider takes it and gets an output
    EXPECT_EQ(std::tuple(sl->sliderCount.load(), (*sl->sliders)[2].controller.load()),
              std::tuple(4, 0xB0 * 128 + 22));
    EXPECT_EQ(engine.slots[size_t((*sl->sliders)[2].slot.load())].outputIndex, 2);
    SetSliderLearning(*sl, false); // learning off: nothing more
    EXPECT_FALSE(moved(0xB0, 21, 5));
}

TEST_F(NoteModulesTest, DingDongStrikesWithItsPartialsAndEnvelope) {
    Module* dd = DingDong();
    dd->Link(ding_dong::Note).source = Measure(MouseMeasure::Speed, 100.0); // x 6: 600 Hz
    engine.controlRate = 0.0;
    Ticks(5); // samples 0..479; the last one is sample 479 of the note
    const double L = 250.0, vn = 127.0;
    const double t = 479.0 / 48.0;
    const double phase = 480.0 * 600.0 / 96000.0 * 2.0 * std::numbers::pi;
    const double u = t * std::sqrt(2.0) / 10.0;
    const double env = vn * (4 * u * u - std::pow(u, 4)) / 4;
    const double b = 1.0 / (1.0 + (10.0 / 127.0) * std::min(1.0, t / (L + 10.0)));
    double sum = 0.0;
    for (int h = 40; h <= 120; h += 10)
        sum += std::sin(h / 100.0 * phase) * (1.0 - std::pow(std::abs(h - 100) / 60.0, b)) * env;
    EXPECT_NEAR(Out(dd).value[0], sum, 1e-9);
    EXPECT_EQ(std::tuple(Out(dd).smoothedValue[0].load(), int(Out(dd).voiceCount)),
              std::tuple(Out(dd).value[0].load(), 1));
}

TEST_F(NoteModulesTest, DingDongRingsOnAfterItsNoteAndIsThenRemoved) {
    Module* seq = Sequence("A4", 30000, 1);
    Module* dd = DingDong();
    dd->Link(ding_dong::Note).source = seq->slot[0].load();
    dd->Link(ding_dong::NoteLength).value = 100;
    Module* manual = Create(K::AudioDingDong); // manual or nothing: silent throughout
    manual->Link(ding_dong::Note).source = kManualSource;
    Module* none = Create(K::AudioDingDong);
    none->Link(ding_dong::Note).source = kNoSource;
    Ticks(1);
    seq->Link(sequence::BPM).value = 0; // one note of one tick
    Ticks(25);                          // 50 ms: still ringing
    EXPECT_NE(Out(dd).value[0], 0.0);
    // With L = 100 the level falls to 0.1 when x^(1/x) = 0.1/127, about 95 ms into the note.
    Ticks(50);
    for (Module* m : {dd, manual, none}) EXPECT_EQ(Out(m).value[0], 0.0);
}

// The model thread changes a sequence's text, learns sliders and adds and removes modules while the engine
// plays, catching notes and controllers that another thread sends.
TEST(NoteModulesThreading, TextsAndSliderLearningWhileTheEnginePlays) {
    test::FakeMidiInput midi;
    midi.Plug(0);
    midi.Plug(1);
    Engine engine;
    engine.SetDevices(nullptr, &midi, nullptr);
    Patch patch(engine);
    Module* seq = patch.CreateModule(K::ControlSequence, {});
    const auto setText = [&](const std::string& text) {
        seq->texts[sequence::SequenceText] = text;
        engine.Ops(K::ControlSequence).textChanged(*seq);
    };
    setText("C4E4G4");
    seq->Link(sequence::BPM).value = 1200;
    seq->ints[sequence::RecordingSource] = 1;
    Module* sl = patch.CreateModule(K::ControlMIDIControllerInput, {});
    sl->ints[midi_slider::InputDevice] = 0;
    SetSliderLearning(*sl, true);
    patch.Republish();
    engine.StartEngine();
    std::atomic<bool> done{false};
    std::thread player([&] {
        for (int i = 0; !done; ++i) {
            midi.Send(1, 0x90, uint8_t(40 + i % 20), (i / 20) % 2 ? 0 : 100);
            if (i % 4 == 0 && i < 160) midi.Send(0, 0xB0, uint8_t(i / 4), 64); // 40 controllers
            std::this_thread::sleep_for(std::chrono::microseconds(700));
        }
    });
    std::vector<Module*> gains;
    // At least 200 rounds, and on until more than 10 sliders were learned (at most 10 s).
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int i = 0; (i < 200 || sl->sliderCount <= 10) && std::chrono::steady_clock::now() < until; ++i) {
        std::string text;
        for (int k = 0; k <= i % 37; ++k) text += "C#4 e5-g";
        setText(text);
        ProcessSliderLearning(patch);
        if (gains.size() < 20)
            gains.push_back(patch.CreateModule(K::ControlGain, {}));
        else {
            patch.RemoveModule(gains.front());
            gains.erase(gains.begin());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    player.join();
    engine.StopEngine();
    engine.JoinThreads();
    ProcessSliderLearning(patch);
    EXPECT_EQ(SequenceStepCount(*seq), int(ParseNoteSequence(seq->texts[sequence::SequenceText]).size()));
    std::set<int> slots, controllers;
    for (int k = 0; k < sl->sliderCount; ++k) {
        const SliderEntry& e = (*sl->sliders)[size_t(k)];
        EXPECT_TRUE(slots.insert(e.slot).second);
        EXPECT_TRUE(controllers.insert(e.controller).second);
        EXPECT_EQ(engine.slots[size_t(e.slot.load())].module.load(), sl);
    }
    for (Module* g : gains) EXPECT_TRUE(slots.insert(g->slot[0]).second);
    EXPECT_GT(sl->sliderCount, 10);
}

} // namespace
} // namespace mw
