#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sources/memory_input.hpp"
#include "sources/wave_in_manager.hpp"

namespace mw {
namespace {

using Buffer = std::array<int16_t, kInputBufferSamples>;

// The input signal: sample j of the device is j mod 20000 + 1, so the k-th captured buffer (k from 0)
// starts with (96 k) mod 20000 + 1 and no captured buffer is all zeros.
int16_t Sample(uint64_t j) {
    return int16_t(j % 20000 + 1);
}
std::vector<int16_t> Signal(size_t n) {
    std::vector<int16_t> v(n);
    for (size_t j = 0; j < n; ++j) v[j] = Sample(j);
    return v;
}
int16_t FirstOfCapture(uint64_t k) {
    return Sample(96 * k);
}

class WaveInManagerTest : public ::testing::Test {
protected:
    WaveInManagerTest() {
        in.SetMessageCallback([this](int n) { messages.push_back(n); });
    }
    // One engine block that uses `device`, then one capture pass, then the device captures one buffer.
    void Block(int32_t device = 0) {
        in.BeginInputBlock();
        in.UseInputDevice(device);
        in.EndInputBlock();
        in.PumpCapture();
        backend.Advance(96);
    }
    void Blocks(int n) {
        for (int i = 0; i < n; ++i) Block();
    }

    MemoryInputBackend backend{{{"Mic 0", Signal(200000)}, {"Mic 1"}}, {"Default Mic"}};
    WaveInManager in{backend, WaveInManager::Options{true}};
    std::vector<int> messages;
    Buffer first{}, second{};
};

TEST_F(WaveInManagerTest, OpensOnUseQueues1024BuffersAndCapturesInOrder) {
    Block();
    EXPECT_TRUE(in.IsOpen(0));
    EXPECT_EQ(backend.QueuedBuffers(0), 1023u); // all 1024 queued at the first pass, one filled since
    EXPECT_EQ(in.CapturedBuffers(0), 1u);
    Blocks(4);
    EXPECT_EQ(in.CapturedBuffers(0), 5u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(WaveInManagerTest, LatencyDecidesWhenBuffersAreHandedOver) {
    Blocks(9); // captures 0..8
    uint64_t position = 0;
    EXPECT_FALSE(in.ReadInput(0, position, first, second, 20)); // 9 buffers = 18 ms < 20 ms
    EXPECT_EQ(position, 0u);
    Block();                                                   // capture 9
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 20)); // 10 buffers = 20 ms
    EXPECT_EQ(position, 2u);
    // s = LastDone - available + 1 = 9 - 10 + 1 = 0: buffer 0 first, buffer 1023 (never filled) second.
    EXPECT_EQ(first[0], FirstOfCapture(0));
    EXPECT_EQ(first[95], Sample(95));
    EXPECT_EQ(second[0], 0);
    EXPECT_FALSE(in.ReadInput(0, position, first, second, 20)); // 8 left: 16 ms
    EXPECT_EQ(position, 2u);
    in.EndInputBlock();

    Blocks(3); // captures 10..12; available 11
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 20));
    EXPECT_EQ(position, 4u);
    // s = 12 - 11 + 1 = 2: buffer 2, then buffer 1.
    EXPECT_EQ(first[0], FirstOfCapture(2));
    EXPECT_EQ(second[0], FirstOfCapture(1));
}

TEST_F(WaveInManagerTest, OneAvailableBufferAdvancesByOne) {
    Blocks(6);
    uint64_t position = 5;
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 2));
    EXPECT_EQ(position, 6u);
    // s = 5 - 1 + 1 = 5.
    EXPECT_EQ(first[0], FirstOfCapture(5));
    EXPECT_EQ(second[0], FirstOfCapture(4));
}

TEST_F(WaveInManagerTest, LatencyZeroWithNothingAvailableGivesTheBufferAfterLastDone) {
    Blocks(7); // LastDone 6
    uint64_t position = 7;
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 0));
    EXPECT_EQ(position, 7u);
    EXPECT_EQ(first[0], 0);                  // buffer 7: not filled yet
    EXPECT_EQ(second[0], FirstOfCapture(6)); // buffer LastDone
}

TEST_F(WaveInManagerTest, APositionAheadOfCapturedIsResynchronised) {
    Blocks(10);
    uint64_t position = 5000;
    EXPECT_FALSE(in.ReadInput(0, position, first, second, 20));
    EXPECT_EQ(position, 10u);
    position = 5000;
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 0));
    EXPECT_EQ(position, 10u);
    EXPECT_EQ(first[0], 0); // buffer 10, after LastDone 9
    EXPECT_EQ(second[0], FirstOfCapture(9));
}

TEST_F(WaveInManagerTest, APositionMoreThan1024BehindIsResynchronisedAndTheRingWraps) {
    Blocks(1024); // captures 0..1023, LastDone 1023
    uint64_t position = 1024;
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 0));
    EXPECT_EQ(position, 1024u);
    EXPECT_EQ(first[0], FirstOfCapture(0)); // after 1023 comes buffer 0, still holding capture 0
    EXPECT_EQ(second[0], FirstOfCapture(1023));
    in.EndInputBlock();

    Blocks(76);   // captures 1024..1099: the re-queued buffers keep the ring order
    position = 0; // 1100 behind
    EXPECT_FALSE(in.ReadInput(0, position, first, second, 20));
    EXPECT_EQ(position, 1100u);
    in.EndInputBlock();
    Blocks(10);
    ASSERT_TRUE(in.ReadInput(0, position, first, second, 20));
    EXPECT_EQ(position, 1102u);
    // LastDone = 1109 mod 1024 = 85; s = 85 - 10 + 1 = 76 holds capture 1100.
    EXPECT_EQ(first[0], FirstOfCapture(1100));
    EXPECT_EQ(second[0], FirstOfCapture(1099));
    EXPECT_EQ(backend.DroppedBuffers(0), 0u);
}

TEST_F(WaveInManagerTest, ReadingAClosedDeviceFails) {
    uint64_t position = 0;
    EXPECT_FALSE(in.ReadInput(1, position, first, second, 0));
    in.EndInputBlock();
}

TEST_F(WaveInManagerTest, AnUnusedDeviceClosesAtTheEndOfTheBlock) {
    Block(0);
    in.BeginInputBlock();
    in.UseInputDevice(1);
    EXPECT_TRUE(in.IsOpen(0));
    in.EndInputBlock();
    EXPECT_FALSE(in.IsOpen(0));
    EXPECT_TRUE(in.IsOpen(1));
    EXPECT_FALSE(backend.IsOpen(0));
    in.CloseAllInput();
    EXPECT_EQ(in.OpenDeviceCount(), 0);
    EXPECT_FALSE(backend.IsOpen(1));
}

TEST_F(WaveInManagerTest, UseOutsideABlockFails) {
    EXPECT_FALSE(in.UseInputDevice(0));
    EXPECT_FALSE(in.IsOpen(0));
}

TEST_F(WaveInManagerTest, ABusyDeviceReportsMessage126AtEveryAttempt) {
    backend.SetBusy(0, true);
    in.BeginInputBlock();
    EXPECT_FALSE(in.UseInputDevice(0));
    in.EndInputBlock();
    in.BeginInputBlock();
    EXPECT_FALSE(in.UseInputDevice(0));
    in.EndInputBlock();
    EXPECT_EQ(messages, (std::vector<int>{126, 126}));
    backend.SetBusy(0, false);
    Block();
    EXPECT_TRUE(in.IsOpen(0));
    // Other failures say nothing.
    in.BeginInputBlock();
    EXPECT_FALSE(in.UseInputDevice(9));
    in.EndInputBlock();
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(WaveInManagerTest, ListsTheDefaultThenTheDevices) {
    const std::vector<DeviceChoice> expected{{"Default Mic", -1}, {"Mic 0", 0}, {"Mic 1", 1}};
    EXPECT_EQ(in.ListDevices(), expected);
}

TEST(WaveInManagerThreading, CaptureThreadKeepsTheDeviceFed) {
    MemoryInputBackend backend({{"Mic", Signal(48000 * 10)}}, {"Default"});
    WaveInManager in(backend);
    backend.StartRealTimeClock();
    Buffer first{}, second{};
    uint64_t position = 0;
    bool got = false;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        if (in.ReadInput(0, position, first, second, 4) && first[0] != 0) got = true;
        in.BeginInputBlock();
        in.UseInputDevice(0);
        in.EndInputBlock();
        if (got && in.CapturedBuffers(0) > 40) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(got);
    EXPECT_GT(in.CapturedBuffers(0), 40u);
    // Every delivered buffer holds 96 consecutive samples of the signal.
    EXPECT_EQ(int(first[95]) - int(first[0]), 95);
    in.CloseAllInput();
    backend.StopRealTimeClock();
}

} // namespace
} // namespace mw
