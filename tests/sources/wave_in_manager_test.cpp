#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "sources/memory_input.hpp"
#include "sources/wave_in_manager.hpp"

namespace mw {
namespace {

using Buffer = std::array<int16_t, kInputBufferSamples>;

// The input signal: sample j of the device is j mod 20000 + 1, so the k-th captured buffer (k from 0)
// starts with (96 k) mod 20000 + 1 and no captured buffer is all zeros.
std::vector<int16_t> Signal(size_t n) {
    std::vector<int16_t> v(n);
    for (size_t j = 0; j < n; ++j) v[j] = int16_t(j % 20000 + 1);
    return v;
}
int16_t FirstOfCapture(uint64_t k) {
    return int16_t(96 * k % 20000 + 1);
}

// An in-memory device pair with a manager pumped by hand.
struct Rig {
    Rig() {
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
    bool Read(uint64_t& position, int32_t latencyMs) {
        return in.ReadInput(0, position, first, second, latencyMs);
    }
    MemoryInputBackend backend{{{"Mic 0", Signal(200000)}, {"Mic 1"}}, {"Default Mic"}};
    WaveInManager in{backend, WaveInManager::Options{true}};
    std::vector<int> messages;
    Buffer first{}, second{};
};

TEST(WaveInManagerTest, OpensOnUseQueues1024BuffersAndClosesWhenUnused) {
    Rig r;
    EXPECT_FALSE(r.in.UseInputDevice(0)); // outside a block
    r.in.BeginInputBlock();
    uint64_t position = 0;
    EXPECT_FALSE(r.in.ReadInput(1, position, r.first, r.second, 0)); // not open
    r.in.EndInputBlock();
    EXPECT_FALSE(r.in.IsOpen(0));
    r.Block();
    EXPECT_TRUE(r.in.IsOpen(0));
    EXPECT_EQ(r.backend.QueuedBuffers(0), 1023u); // all 1024 queued at the first pass, one filled since
    r.Blocks(4);
    EXPECT_EQ(r.in.CapturedBuffers(0), 5u);
    // A block that uses another device closes this one at its end, not before.
    r.in.BeginInputBlock();
    r.in.UseInputDevice(1);
    EXPECT_TRUE(r.in.IsOpen(0));
    r.in.EndInputBlock();
    EXPECT_EQ(std::tuple(r.in.IsOpen(0), r.backend.IsOpen(0), r.in.IsOpen(1)),
              std::tuple(false, false, true));
    r.in.CloseAllInput();
    EXPECT_EQ(std::tuple(r.in.OpenDeviceCount(), r.backend.IsOpen(1), r.messages.empty()),
              std::tuple(0, false, true));
    EXPECT_EQ(r.in.ListDevices(),
              (std::vector<DeviceChoice>{{"Default Mic", -1}, {"Mic 0", 0}, {"Mic 1", 1}}));
}

TEST(WaveInManagerTest, LatencyAndPositionDecideWhichBuffersAreHandedOver) {
    // A buffer is 2 ms. With `available` buffers between the position and LastDone, the first buffer
    // handed over is s = LastDone - available + 1 and the second the one before it; 0 means not filled.
    struct Row {
        const char* why;
        int blocks;
        uint64_t position;
        int32_t latencyMs;
        bool ok;
        uint64_t after;
        int16_t first, second;
    };
    const Row rows[] = {
        {"9 buffers = 18 ms < 20 ms", 9, 0, 20, false, 0, 0, 0},
        {"10 buffers = 20 ms: s = 0, then 1023, never filled", 10, 0, 20, true, 2, FirstOfCapture(0), 0},
        {"one available: s = 5 - 1 + 1 = 5", 6, 5, 2, true, 6, FirstOfCapture(5), FirstOfCapture(4)},
        {"latency 0, none available: the buffer after LastDone 6", 7, 7, 0, true, 7, 0, FirstOfCapture(6)},
        {"ahead of captured: resynchronised", 10, 5000, 20, false, 10, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        Rig r;
        r.Blocks(row.blocks);
        uint64_t position = row.position;
        EXPECT_EQ(r.Read(position, row.latencyMs), row.ok);
        EXPECT_EQ(position, row.after);
        if (!row.ok) continue;
        // 96 consecutive samples
        EXPECT_EQ(std::tuple(r.first[0], r.second[0], int(r.first[95])),
                  std::tuple(row.first, row.second, row.first == 0 ? 0 : row.first + 95));
    }
}

TEST(WaveInManagerTest, APositionMoreThan1024BehindIsResynchronisedAndTheRingWraps) {
    Rig r;
    r.Blocks(1024); // captures 0..1023, LastDone 1023
    uint64_t position = 1024;
    ASSERT_TRUE(r.Read(position, 0));
    EXPECT_EQ(position, 1024u);
    // After 1023 comes buffer 0, still holding capture 0.
    EXPECT_EQ(std::tuple(r.first[0], r.second[0]), std::tuple(FirstOfCapture(0), FirstOfCapture(1023)));
    r.in.EndInputBlock();
    r.Blocks(76); // captures 1024..1099: the re-queued buffers keep the ring order
    position = 0; // 1100 behind
    EXPECT_FALSE(r.Read(position, 20));
    EXPECT_EQ(position, 1100u);
    r.in.EndInputBlock();
    r.Blocks(10);
    ASSERT_TRUE(r.Read(position, 20));
    EXPECT_EQ(position, 1102u);
    // LastDone = 1109 mod 1024 = 85; s = 85 - 10 + 1 = 76 holds capture 1100.
    EXPECT_EQ(std::tuple(r.first[0], r.second[0]), std::tuple(FirstOfCapture(1100), FirstOfCapture(1099)));
    EXPECT_EQ(r.backend.DroppedBuffers(0), 0u);
}

TEST(WaveInManagerTest, ABusyDeviceReportsMessage126AtEveryAttempt) {
    Rig r;
    r.backend.SetBusy(0, true);
    const auto use = [&](int32_t device) {
        r.in.BeginInputBlock();
        EXPECT_FALSE(r.in.UseInputDevice(device));
        r.in.EndInputBlock();
    };
    use(0);
    use(0);
    EXPECT_EQ(r.messages, (std::vector<int>{126, 126}));
    r.backend.SetBusy(0, false);
    r.Block();
    EXPECT_TRUE(r.in.IsOpen(0));
    use(9); // other failures say nothing
    EXPECT_EQ(r.messages.size(), 2u);
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
        in.RequeueCaptured();
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
