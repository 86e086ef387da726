#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/memory_output.hpp"
#include "audio/sample_convert.hpp"
#include "audio/wave_out_manager.hpp"

namespace mw {
namespace {

// A block of `count` samples value + step x i (engine units), filled to the buffer's end.
OutputBlock Block(int count, double value, double step = 0.0) {
    OutputBlock b;
    b.adjust = int8_t(count - kBaseBlockLength);
    for (int i = 0; i < kMaxBlockSamples; ++i) b.samples[size_t(i)] = value + step * i;
    return b;
}

std::vector<MemoryOutputBackend::DeviceDesc> Cards(int n) {
    std::vector<MemoryOutputBackend::DeviceDesc> v;
    for (int i = 0; i < n; ++i) v.push_back({"Card " + std::to_string(i)});
    return v;
}

class WaveOutManagerTest : public ::testing::Test {
protected:
    // Plays everything sent so far: one writer pass, then the device consumes `frames`.
    void Play(uint32_t frames) {
        out.PumpWriters();
        backend.Advance(frames);
    }
    // A whole engine block: the given submissions, then the end of the block.
    template <class F> void InBlock(F&& submissions) {
        out.BeginBlock();
        submissions();
        out.EndBlock();
    }

    MemoryOutputBackend backend{Cards(3), "Default Output", true};
    WaveOutManager out{backend, nullptr, WaveOutManager::Options{true}};
};

TEST(SoftClipTest, KneeAndConversion) {
    EXPECT_DOUBLE_EQ(kSoftClipKnee, 0.8 * 32767);
    constexpr double inf = std::numeric_limits<double>::infinity();
    // 32000 -> 26213.6 + sqrt(5786.4) = 26289.67. Below the knee values pass, truncated toward zero.
    // 41.6e6 -> 26213.6 + sqrt(41573786.4) = 32661.37 is still in range; beyond, saturation, not wrapping.
    const std::pair<double, int16_t> rows[] = {
        {32000, 26289},   {-32000, -26289}, {31.68, 31},          {-31.68, -31},
        {26213.0, 26213}, {41.6e6, 32661},  {1.35e6 * 32, 32767}, {-1.35e6 * 32, -32768},
        {1e300, 32767},   {inf, 32767},     {-inf, -32768},       {std::nan(""), 0}};
    for (const auto& [in, out] : rows) EXPECT_EQ(ToOutputSample(in), out) << in;
}

TEST(WaveOutMixTest, SubmissionsOfOneBlockMakeOneStereoBufferPerDevice) {
    struct Submission {
        int32_t code;
        double start, step;
    };
    struct Row {
        const char* why;
        std::vector<Submission> submissions;
        int32_t device;
        std::array<int, 4> frames; // left = [0] + i x [1], right = [2] + i x [3]
    };
    const Row rows[] = {
        // 1000 x 32 -> 26289; -2.5 x 32 = -80.
        {"left, then right of device 0", {{100, 1000.0, 0}, {200, -2.5, 0}}, 0, {26289, 0, -80, 0}},
        {"the right of device 1 only", {{201, 3.0, 0}}, 1, {0, 0, 96, 0}},
        // 28800 -> 26213.6 + sqrt(2586.4) = 26264.46 -> 26264; + 3200 = 29464 -> 26270.61 -> 26270.
        // (Summed first, 32000 would give 26289.)
        {"both channels twice, clipped one by one", {{0, 900.0, 0}, {0, 100.0, 0}}, 0, {26270, 0, 26270, 0}},
        {"ramps on the default device", {{99, 1.0, 1.0}, {199, -1.0, -1.0}}, -1, {32, 32, -32, -32}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        MemoryOutputBackend backend{Cards(3), "Default Output", true};
        WaveOutManager out{backend, nullptr, WaveOutManager::Options{true}};
        out.BeginBlock();
        for (const Submission& s : r.submissions)
            EXPECT_TRUE(out.Submit(s.code, Block(96, s.start, s.step), nullptr));
        out.EndBlock();
        out.PumpWriters();
        backend.Advance(96);
        const auto played = backend.Played(r.device);
        ASSERT_EQ(played.size(), 2u * 96u);
        for (int i = 0; i < 96; ++i) {
            EXPECT_EQ(played[2 * size_t(i)], r.frames[0] + i * r.frames[1]) << i;
            EXPECT_EQ(played[2 * size_t(i) + 1], r.frames[2] + i * r.frames[3]) << i;
        }
    }
}

TEST_F(WaveOutManagerTest, BlockLengthFollowsTheCountUpTo192Frames) {
    InBlock([&] { out.Submit(0, Block(191, 1.0), nullptr); });
    InBlock([&] { out.Submit(0, Block(1, 2.0), nullptr); });
    OutputBlock tooLong = Block(96, 3.0);
    tooLong.adjust = 127; // 223 samples asked: the buffer holds 192
    InBlock([&] { out.Submit(0, tooLong, nullptr); });
    Play(191 + 1 + 192);
    const auto played = backend.Played(0);
    ASSERT_EQ(played.size(), 2u * (191 + 1 + 192));
    EXPECT_EQ(played[2 * 190], 32);
    EXPECT_EQ(played[2 * 191], 64);
    EXPECT_EQ(played[2 * 192], 96);
}

TEST_F(WaveOutManagerTest, ACountOfZeroOrLessKeepsTheDeviceOpenAndWritesNothing) {
    EXPECT_FALSE(out.Submit(0, Block(96, 1.0), nullptr)); // outside a block
    InBlock([&] { EXPECT_TRUE(out.Submit(0, Block(0, 5.0), nullptr)); });
    InBlock([&] {
        OutputBlock negative = Block(96, 5.0);
        negative.adjust = -100; // count -4
        EXPECT_TRUE(out.Submit(100, negative, nullptr));
    });
    EXPECT_TRUE(out.IsOpen(0));
    Play(96);
    EXPECT_TRUE(backend.Played(0).empty());
    EXPECT_EQ(backend.OpenCount(0), 1);
    EXPECT_EQ(out.QueuedBlocks(0), 0);
}

TEST_F(WaveOutManagerTest, AnUnusedDeviceClosesAtTheEndOfTheNextBlock) {
    InBlock([&] { out.Submit(0, Block(96, 1.0), nullptr); });
    EXPECT_TRUE(out.IsOpen(0));
    // The module switched to device 1: device 0 stays open through the block, closes at its end.
    out.BeginBlock();
    out.Submit(1, Block(96, 1.0), nullptr);
    EXPECT_TRUE(out.IsOpen(0));
    out.EndBlock();
    EXPECT_FALSE(out.IsOpen(0));
    EXPECT_TRUE(out.IsOpen(1));
    EXPECT_EQ(backend.CloseCount(0), 1);
    EXPECT_FALSE(backend.IsOpen(0));
    // A block with no submissions at all closes the rest.
    InBlock([] {});
    EXPECT_EQ(out.OpenDeviceCount(), 0);
    EXPECT_FALSE(backend.IsOpen(1));
    // So does CloseAll.
    InBlock([&] {
        out.Submit(0, Block(96, 1.0), nullptr);
        out.Submit(-1, Block(96, 1.0), nullptr);
    });
    EXPECT_EQ(out.OpenDeviceCount(), 2);
    out.CloseAll();
    EXPECT_EQ(out.OpenDeviceCount(), 0);
    EXPECT_FALSE(backend.IsOpen(0) || backend.IsOpen(-1));
}

// Counts the opens a manager tries.
class CountingBackend final : public IOutputBackend {
public:
    explicit CountingBackend(IOutputBackend& inner) : inner_(inner) {}
    int DeviceCount() override { return inner_.DeviceCount(); }
    bool DeviceName(int device, std::string& name) override { return inner_.DeviceName(device, name); }
    std::unique_ptr<IOutputStream> Open(int device, OutputDoneFn done, void* context) override {
        ++opens;
        return inner_.Open(device, done, context);
    }
    int opens = 0;

private:
    IOutputBackend& inner_;
};

struct ManualClock final : IClock {
    double Milliseconds() override { return ms; }
    double ms = 0.0;
};

TEST(WaveOutBackoffTest, AFailingDeviceIsTriedOncePerPauseAndReportedOncePerRun) {
    MemoryOutputBackend memory{Cards(3), "Default Output", true};
    CountingBackend backend{memory};
    ManualClock clock;
    WaveOutManager out{backend, nullptr, WaveOutManager::Options{true, &clock}};
    std::vector<std::string> messages;
    out.SetMessageCallback([&](const std::string& text) { messages.push_back(text); });
    const auto block = [&](double ms, int32_t id) {
        clock.ms = ms;
        out.BeginBlock();
        const bool taken = out.Submit(id, Block(96, 1.0), nullptr);
        EXPECT_EQ(out.Submit(id + 200, Block(96, 1.0), nullptr), taken);
        out.EndBlock();
        return taken;
    };
    memory.SetOpenFails(2, true);
    // Failures at 0, 1, 3, 7 and 11 s: pauses of 1, 2 and 4 s, then 4 s on; one try per pause however many
    // Submits come. Unknown devices wait the same way.
    const struct {
        double ms;
        int opens;
    } rows[] = {{0, 1},    {2, 1},    {998, 1},  {1000, 2},  {2999, 2},
                {3000, 3}, {6999, 3}, {7000, 4}, {10999, 4}, {11000, 5}};
    for (const auto& r : rows) {
        EXPECT_FALSE(block(r.ms, 2));
        EXPECT_EQ(backend.opens, r.opens) << r.ms;
    }
    EXPECT_EQ(messages, std::vector<std::string>{"Output device 2 cannot be opened."});
    EXPECT_TRUE(block(11001, 1)); // other devices open at once
    EXPECT_FALSE(block(11002, 7));
    EXPECT_FALSE(block(11003, 7));
    EXPECT_EQ(backend.opens, 7);
    EXPECT_EQ(messages.size(), 2u);

    // It opens at its next try; a new run of failures starts again with 1 s and is reported again.
    memory.SetOpenFails(2, false);
    EXPECT_FALSE(block(14999, 2));
    EXPECT_TRUE(block(15000, 2));
    memory.SetOpenFails(2, true);
    EXPECT_TRUE(block(15002, 2)); // still open
    block(15004, 1);              // a block without it closes it
    EXPECT_FALSE(block(15006, 2));
    EXPECT_FALSE(block(16005, 2));
    EXPECT_FALSE(block(16006, 2));
    EXPECT_EQ(backend.opens, 7 + 4); // device 2 at 15000, 15006 and 16006; device 1 at 15004
    EXPECT_EQ(messages.size(), 3u);
}

TEST_F(WaveOutManagerTest, QueuedCountsTheBlocksStartedAfterTheLastOneThatFinished) {
    for (int b = 0; b < 5; ++b) {
        InBlock([&] { out.Submit(0, Block(96, b), nullptr); });
        out.PumpWriters();
    }
    int64_t queued = -1;
    InBlock([&] { out.Submit(0, Block(96, 1.0), &queued); });
    EXPECT_EQ(queued, 0);    // nothing has finished yet
    backend.Advance(2 * 96); // blocks 1 and 2 play
    InBlock([&] { out.Submit(0, Block(96, 1.0), &queued); });
    EXPECT_EQ(queued, 6 - 2); // 6 blocks were started when block 2 finished
    out.PumpWriters();
    backend.Advance(96 + 10); // block 3 and part of block 4
    EXPECT_EQ(out.QueuedBlocks(0), 7 - 3);
}

TEST_F(WaveOutManagerTest, ADevice1024BlocksBehindDropsNewBlocksAndStaysOpen) {
    for (int b = 0; b < WaveOutManager::kSlotCount; ++b) {
        InBlock([&] { ASSERT_TRUE(out.Submit(0, Block(96, 1.0), nullptr)); });
        out.PumpWriters();
    }
    EXPECT_EQ(backend.QueuedBuffers(0), 1024u);
    InBlock([&] {
        EXPECT_FALSE(out.Submit(0, Block(96, 2.0), nullptr));
        EXPECT_FALSE(out.Submit(0, Block(96, 2.0), nullptr));
    });
    EXPECT_TRUE(out.IsOpen(0)); // the queued buffers play on
    backend.Advance(96);        // the oldest buffer finishes
    InBlock([&] { EXPECT_TRUE(out.Submit(0, Block(96, 3.0), nullptr)); });
    out.PumpWriters();
    backend.Advance(1024 * 96);
    const auto played = backend.Played(0);
    ASSERT_EQ(played.size(), 2u * 96u * 1025u);
    EXPECT_EQ(played[2 * 96 * 1023], 32);
    EXPECT_EQ(played[2 * 96 * 1024], 96); // the dropped block never plays
}

TEST_F(WaveOutManagerTest, ReadBackGivesTheMixedBlockOnTheUnitScale) {
    out.BeginBlock();
    out.Submit(100, Block(100, 10.0), nullptr);  // left 320
    out.Submit(200, Block(100, -20.0), nullptr); // right -640
    OutputBlock back;
    ASSERT_TRUE(out.ReadBack(0, back, false, false));
    EXPECT_EQ(back.adjust, 4);
    EXPECT_DOUBLE_EQ(back.samples[0], (320.0 / 32767 - 640.0 / 32767) / 2);
    EXPECT_DOUBLE_EQ(back.samples[99], (320.0 / 32767 - 640.0 / 32767) / 2);
    EXPECT_EQ(back.samples[100], 0.0);
    ASSERT_TRUE(out.ReadBack(0, back, false, true));
    EXPECT_DOUBLE_EQ(back.samples[5], 320.0 / 32767 - 640.0 / 32767);
    ASSERT_TRUE(out.ReadBack(100, back, false, false));
    EXPECT_DOUBLE_EQ(back.samples[5], 320.0 / 32767);
    ASSERT_TRUE(out.ReadBack(200, back, false, false));
    EXPECT_DOUBLE_EQ(back.samples[5], -640.0 / 32767);
    // A closed device is not opened unless asked to.
    EXPECT_FALSE(out.ReadBack(1, back, false, false));
    EXPECT_FALSE(out.IsOpen(1));
    out.EndBlock();

    // Open but not yet used in this block: silence, the count left as it was.
    out.BeginBlock();
    back = Block(96, 7.0);
    back.adjust = -3;
    ASSERT_TRUE(out.ReadBack(0, back, false, false));
    EXPECT_EQ(back.adjust, -3);
    EXPECT_EQ(back.samples[0], 0.0);
    EXPECT_EQ(back.samples[191], 0.0);
    // Asked to open: it opens, and reads silence.
    ASSERT_TRUE(out.ReadBack(1, back, true, false));
    EXPECT_TRUE(out.IsOpen(1));
    out.EndBlock();
}

TEST(WaveOutListTest, EntriesAndSuffixes) {
    MemoryOutputBackend backend(Cards(2), "Default Output", true);
    WaveOutManager out(backend);
    const DeviceChoices both = out.ListDevices(-555, false);
    const std::vector<DeviceChoice> expected{{"", -555},
                                             {"Default Output - (L+R)", -1},
                                             {"Default Output - (L)", 99},
                                             {"Default Output - (R)", 199},
                                             {"Card 0 - (L+R)", 0},
                                             {"Card 0 - (L)", 100},
                                             {"Card 0 - (R)", 200},
                                             {"Card 1 - (L+R)", 1},
                                             {"Card 1 - (L)", 101},
                                             {"Card 1 - (R)", 201}};
    EXPECT_EQ(both.entries, expected);
    EXPECT_EQ(both.selected, 0);
    EXPECT_EQ(out.ListDevices(199, false).selected, 3);
    EXPECT_EQ(out.ListDevices(1, false).selected, 7);

    const DeviceChoices only = out.ListDevices(1, true);
    EXPECT_EQ(only.entries,
              (std::vector<DeviceChoice>{{"", -555}, {"Default Output", -1}, {"Card 0", 0}, {"Card 1", 1}}));
    EXPECT_EQ(only.selected, 3);
    EXPECT_EQ(out.ListDevices(101, true).selected, -1);
}

TEST(WaveOutListTest, Selection105NeedsDevice5AndItsCapabilities) {
    MemoryOutputBackend six(Cards(6), "Default Output", true);
    WaveOutManager out(six);
    DeviceChoices list = out.ListDevices(105, false);
    ASSERT_GE(list.selected, 0);
    EXPECT_EQ(list.entries[size_t(list.selected)], (DeviceChoice{"Card 5 - (L)", 105}));

    six.SetNameFails(5, true); // its capabilities cannot be read: left out
    list = out.ListDevices(105, false);
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.entries.size(), 1u + 3u * 6u); // empty entry, the default and devices 0..4

    MemoryOutputBackend three(Cards(3), "Default Output", true); // no device 5 at all
    EXPECT_EQ(WaveOutManager(three).ListDevices(105, false).selected, -1);

    // A default device whose capabilities cannot be read is left out too.
    MemoryOutputBackend noDefault(Cards(1), "", true);
    list = WaveOutManager(noDefault).ListDevices(-1, false);
    EXPECT_EQ(list.entries,
              (std::vector<DeviceChoice>{
                  {"", -555}, {"Card 0 - (L+R)", 0}, {"Card 0 - (L)", 100}, {"Card 0 - (R)", 200}}));
    EXPECT_EQ(list.selected, -1);
}

} // namespace
} // namespace mw
