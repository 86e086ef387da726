#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>

#include "sources/memory_midi.hpp"
#include "sources/midi_in_manager.hpp"

namespace mw {
namespace {

using Notes = std::array<uint8_t, kMidiNoteTableSize>;

class MidiInManagerTest : public ::testing::Test {
protected:
    void Use(int32_t device) {
        midi.BeginMidiBlock();
        midi.UseMidiDevice(device);
        midi.EndMidiBlock();
    }
    uint8_t Velocity(int channel, int note) {
        Notes fresh{};
        uint64_t none = kNoNoteStamp;
        EXPECT_TRUE(midi.CopyNoteVelocities(0, fresh, none));
        return fresh[size_t(channel * 128 + note)];
    }
    bool Copy() { return midi.CopyNoteVelocities(0, n, stamp); } // into n, if changed since `stamp`
    MemoryMidiBackend backend{{{"Keys", {{100, 0x643C90u}, {200, 0x003C80u}}}, {"Pads"}}};
    MidiInManager midi{backend};
    Notes n{};
    uint64_t stamp = kNoNoteStamp;
};

TEST_F(MidiInManagerTest, EveryChannelMessageSetsItsLastIndexAndValue) {
    // The index is status x 128 + the first data byte (0 for pitch bend, program change and channel
    // pressure); the value is the second data byte, or the first for program change and channel pressure.
    const std::tuple<uint32_t, int32_t, double> rows[] = {
        {MidiShortMessage(0x91, 60, 100), 0x91 * 128 + 60, 100}, // note on
        {MidiShortMessage(0x81, 60, 64), 16572, 64},             // note off: 0x81 x 128 + 60
        {MidiShortMessage(0xB0, 7, 127), 22535, 127},            // controller: 0xB0 x 128 + 7
        {MidiShortMessage(0xA2, 40, 33), 0xA2 * 128 + 40, 33},   // key pressure
        {MidiShortMessage(0xE3, 0x00, 0x40), 29056, 64},         // pitch bend: the most significant bits
        {MidiShortMessage(0xC5, 12, 99), 25216, 12},             // program change: 0xC5 x 128
        {MidiShortMessage(0xD0, 90, 0), 0xD0 * 128, 90},         // channel pressure
        {0x00FFFF90u, 0x90 * 128 + 127, 127},                    // stray high bits stay in their row
    };
    Use(0);
    for (const auto& [message, index, value] : rows) {
        SCOPED_TRACE(index);
        backend.Send(0, message);
        EXPECT_EQ(midi.GetLastIndex(0), index);
        EXPECT_EQ(midi.ReadLastValue(0, index), value);
        EXPECT_EQ(midi.ReadLastValue(0, index + 0x10000), value); // the index is taken modulo 65536
    }
    // System messages change nothing.
    backend.Send(0, 0xF8); // clock
    backend.Send(0, MidiShortMessage(0xF0, 1, 2));
    EXPECT_EQ(midi.GetLastIndex(0), 0x90 * 128 + 127);
    EXPECT_EQ(midi.ReadLastValue(0, 0xF8 * 128), 0.0);
}

TEST_F(MidiInManagerTest, OnlyNoteMessagesChangeTheNoteTable) {
    Use(0);
    const std::tuple<uint32_t, int, int, int> rows[] = {
        {MidiShortMessage(0x91, 60, 100), 1, 60, 100},
        {MidiShortMessage(0x81, 60, 64), 1, 60, 0},
        {MidiShortMessage(0x9F, 127, 1), 15, 127, 1},
        {MidiShortMessage(0x9F, 127, 0), 15, 127, 0}, // note on with velocity 0 releases
        {0x00FFFF90u, 0, 127, 127},                   // data bytes 0xFF are read as 127
    };
    for (const auto& [message, channel, note, velocity] : rows) {
        backend.Send(0, message);
        EXPECT_EQ(Velocity(channel, note), velocity) << channel << " " << note;
    }
    for (uint32_t other : {MidiShortMessage(0xB0, 7, 127), MidiShortMessage(0xA0, 127, 5),
                           MidiShortMessage(0xE0, 1, 2), MidiShortMessage(0xD0, 90, 0), 0xF8u})
        backend.Send(0, other);
    ASSERT_TRUE(Copy());
    int held = 0;
    for (uint8_t v : n) held += v != 0;
    EXPECT_EQ(held, 1);
    EXPECT_EQ(n[127], 127);
}

TEST_F(MidiInManagerTest, TheNoteTableIsCopiedAgainOnlyAfterANoteChanged) {
    Use(0);
    ASSERT_TRUE(Copy());
    // Note 10 after a note on, a controller (the caller's changed copy stays) and a note off.
    const std::pair<uint32_t, int> rows[] = {{MidiShortMessage(0x90, 10, 50), 50},
                                             {MidiShortMessage(0xB0, 7, 127), 99},
                                             {MidiShortMessage(0x80, 10, 0), 0}};
    for (const auto& [message, expected] : rows) {
        backend.Send(0, message);
        ASSERT_TRUE(Copy());
        EXPECT_EQ(n[10], expected);
        n[10] = 99;
    }
}

TEST_F(MidiInManagerTest, OpensOnUseClosesInTheFirstBlockWithoutUseAndRestartsFromZero) {
    EXPECT_FALSE(midi.UseMidiDevice(0)); // outside a block
    // Readers of a closed device give neutral values.
    EXPECT_FALSE(Copy());
    EXPECT_EQ(midi.ReadLastValue(0, 100), 0.0);
    EXPECT_EQ(midi.GetLastIndex(0), -1);
    backend.SetOpenFails(0, true);
    midi.BeginMidiBlock();
    EXPECT_FALSE(midi.UseMidiDevice(0));
    EXPECT_FALSE(midi.UseMidiDevice(5)); // no such device
    midi.EndMidiBlock();
    backend.SetOpenFails(0, false);
    Use(0);
    backend.Send(0, MidiShortMessage(0x90, 1, 2));
    midi.BeginMidiBlock();
    midi.UseMidiDevice(1);
    EXPECT_TRUE(midi.IsOpen(0));
    midi.EndMidiBlock();
    EXPECT_FALSE(midi.IsOpen(0));
    EXPECT_FALSE(backend.IsOpen(0));
    Use(0);
    EXPECT_EQ(Velocity(0, 1), 0);
    EXPECT_EQ(midi.GetLastIndex(0), -1); // just opened
    EXPECT_EQ(backend.OpenCount(0), 2);
    midi.CloseAllMidi();
    EXPECT_EQ(midi.OpenDeviceCount(), 0);
    EXPECT_EQ(midi.ListDevices(), (std::vector<DeviceChoice>{{"Keys", 0}, {"Pads", 1}}));
}

TEST_F(MidiInManagerTest, TimedMessagesArriveWhenTheirTimeComes) {
    Use(0);
    backend.Advance(150);
    EXPECT_EQ(Velocity(0, 60), 100);
    backend.Advance(50); // the note off is due at 200: not yet (before 200)
    EXPECT_EQ(Velocity(0, 60), 100);
    backend.Advance(1);
    EXPECT_EQ(Velocity(0, 60), 0);
}

// The input notice writes the tables while the engine reads them under the lock.
TEST(MidiInManagerThreading, MessagesArriveWhileTheEngineReads) {
    MemoryMidiBackend backend;
    MidiInManager midi(backend);
    midi.BeginMidiBlock();
    ASSERT_TRUE(midi.UseMidiDevice(0));
    midi.EndMidiBlock();
    std::atomic<bool> done{false};
    std::thread device([&] {
        for (int i = 0; i < 20000; ++i)
            backend.Send(0,
                         MidiShortMessage(uint8_t(0x90 | (i & 15)), uint8_t(i & 127), uint8_t(1 + i % 126)));
        backend.Send(0, MidiShortMessage(0xB0, 1, 77));
        done = true;
    });
    Notes n{};
    uint64_t stamp = kNoNoteStamp;
    while (!done.load()) {
        midi.BeginMidiBlock();
        midi.UseMidiDevice(0);
        midi.CopyNoteVelocities(0, n, stamp);
        const int32_t index = midi.GetLastIndex(0);
        EXPECT_TRUE(index == -1 || (index >= 0x90 * 128 && index < 0xC0 * 128)) << index;
        (void)midi.ReadLastValue(0, index);
        midi.EndMidiBlock();
    }
    device.join();
    EXPECT_EQ(midi.ReadLastValue(0, 0xB0 * 128 + 1), 77.0);
    EXPECT_EQ(midi.GetLastIndex(0), 0xB0 * 128 + 1);
}

} // namespace
} // namespace mw
