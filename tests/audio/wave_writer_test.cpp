#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <tuple>

#include "../i18n/language_test_support.hpp"
#include "audio/memory_output.hpp"
#include "audio/wave_out_manager.hpp"
#include "audio/wave_writer_registry.hpp"
#include "model/module.hpp"

namespace mw {
namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    const std::string bytes = test::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
// A finished file: the RIFF size counts the file after its first 8 bytes, the data size the file after a
// 44-byte header; the rest of the header is a new file's (checked byte by byte in NewFileHeaderBytes),
// unless the file was someone else's.
void ExpectFinished(const std::vector<uint8_t>& b, bool ourHeader = true) {
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(U32(b, 4), b.size() - 8);
    EXPECT_EQ(U32(b, 40), b.size() - 44);
    const auto header = WaveWriterRegistry::NewFileHeader();
    for (size_t i = 0; ourHeader && i < 40; ++i) EXPECT_EQ(b[i], i >= 4 && i < 8 ? b[i] : header[i]) << i;
}
int16_t S16(const std::vector<uint8_t>& b, size_t at) {
    return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

// A writer recording to `path` from `device`, starting a new file.
void SetUpWriter(Module& writer, const std::string& path, int32_t device = -1) {
    writer.texts[wave_writer::FilePath] = path;
    writer.bools[wave_writer::Append] = false;
    writer.devices[wave_writer::Output] = device;
}

OutputBlock Block(double value) {
    OutputBlock b;
    for (auto& s : b.samples) s = value;
    return b;
}

class WaveWriterTest : public ::testing::Test {
protected:
    WaveWriterTest() { SetUpWriter(writer, path); }
    ~WaveWriterTest() override { registry.StopAll(); }
    // One engine block on device -1: left `left`, right `right` (engine units), then the writer pass.
    void PlayBlock(double left, double right, int32_t device = -1) {
        out.BeginBlock();
        out.Submit(99 + device + 1, Block(left), nullptr);
        out.Submit(199 + device + 1, Block(right), nullptr);
        out.EndBlock();
        out.PumpWriters();
        backend.Advance(96);
    }
    // Records while `play` runs, stops, and gives the file.
    template <class F> std::vector<uint8_t> Record(F&& play) {
        EXPECT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::Started);
        play();
        registry.StopRecording(writer);
        return ReadFile(path);
    }
    test::TempFolder folder;
    std::string path = folder.File("out.wav");
    Module writer{ModuleKind::AudioWaveWriter};
    WaveWriterRegistry registry;
    MemoryOutputBackend backend{{{"Card 0"}, {"Card 1"}}, "Default", true};
    WaveOutManager out{backend, &registry, WaveOutManager::Options{true}};
};

TEST(WaveHeaderTest, NewFileHeaderBytes) {
    // fmt size 16, PCM, 2 channels, 48000 Hz, 192000 bytes/s, block alignment 4, 16 bits per sample.
    // clang-format off
    const std::array<uint8_t, 44> expected{'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E',
        'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0, 0x80, 0xBB, 0, 0, 0x00, 0xEE, 0x02, 0, 4, 0, 16, 0,
        'd', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF};
    // clang-format on
    EXPECT_EQ(WaveWriterRegistry::NewFileHeader(), expected);
}

TEST_F(WaveWriterTest, RecordsTheFramesSentToItsDeviceAndPatchesTheSizesAtStop) {
    ASSERT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::Started);
    EXPECT_TRUE(registry.IsRecording(writer));
    PlayBlock(1.0, -1.0);
    PlayBlock(2.0, -2.0);
    PlayBlock(3.0, 0.5, 0); // another device: not recorded
    PlayBlock(4.0, -4.0);
    auto bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 3u * 96u * 4u);
    EXPECT_EQ(std::tuple(U32(bytes, 4), U32(bytes, 40)), std::tuple(0xFFFFFFFFu, 0xFFFFFFFFu)); // recording
    EXPECT_TRUE(registry.StopRecording(writer));
    EXPECT_FALSE(registry.IsRecording(writer));
    EXPECT_FALSE(registry.StopRecording(writer));
    bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 1196u);
    ExpectFinished(bytes);
    EXPECT_EQ(
        (std::array{S16(bytes, 44), S16(bytes, 46), S16(bytes, 44 + 384), S16(bytes, 44 + 2 * 384 + 2)}),
        (std::array<int16_t, 4>{32, -32, 64, -128}));
}

TEST_F(WaveWriterTest, AppendingToAnEmptyFileWritesAHeaderThenGrowsTheData) {
    test::WriteBytes(path, "");
    writer.bools[wave_writer::Append] = true;
    Record([&] { PlayBlock(1.0, 1.0); });
    const auto bytes = Record([&] {
        PlayBlock(5.0, 5.0);
        PlayBlock(6.0, 6.0);
    });
    ASSERT_EQ(bytes.size(), 44u + 3u * 384u);
    ExpectFinished(bytes);
    EXPECT_EQ((std::array{S16(bytes, 44), S16(bytes, 44 + 384), S16(bytes, 44 + 2 * 384)}),
              (std::array<int16_t, 3>{32, 160, 192})); // no second header
    // Without Append the file starts afresh.
    writer.bools[wave_writer::Append] = false;
    EXPECT_EQ(Record([] {}).size(), 44u);
}

TEST_F(WaveWriterTest, AppendingToAForeignFileOverwritesOnlyTheTwoSizeFields) {
    std::string foreign(50, '\0');
    for (size_t i = 0; i < foreign.size(); ++i) foreign[i] = char(i + 1);
    test::WriteBytes(path, foreign);
    writer.bools[wave_writer::Append] = true;
    const auto bytes = Record([&] { PlayBlock(1.0, 2.0); });
    ASSERT_EQ(bytes.size(), 50u + 384u);
    ExpectFinished(bytes, false);
    for (size_t i : {0u, 3u, 8u, 39u, 44u, 49u}) EXPECT_EQ(bytes[i], uint8_t(i + 1)) << i;
    EXPECT_EQ(std::tuple(S16(bytes, 50), S16(bytes, 52)), std::tuple(int16_t(32), int16_t(64)));
}

TEST_F(WaveWriterTest, ADeviceNoModulePlaysOrNoDeviceLeavesTheHeaderOnly) {
    for (const int32_t device : {1, -555}) {
        SCOPED_TRACE(device);
        writer.devices[wave_writer::Output] = device;
        const auto bytes = Record([&] {
            PlayBlock(1.0, 1.0); // devices -1 and 0 play
            PlayBlock(1.0, 1.0, 0);
        });
        ASSERT_EQ(bytes.size(), 44u);
        ExpectFinished(bytes);
    }
}

TEST_F(WaveWriterTest, TwoWritersOnOneDeviceBothRecord) {
    Module second{ModuleKind::AudioWaveWriter};
    const std::string path2 = folder.File("second.wav");
    SetUpWriter(second, path2);
    ASSERT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::Started);
    ASSERT_EQ(registry.StartRecording(second), WaveWriterRegistry::StartResult::Started);
    EXPECT_EQ(registry.StartRecording(second), WaveWriterRegistry::StartResult::AlreadyRecording);
    EXPECT_EQ(registry.RecordingCount(), 2u);
    PlayBlock(1.0, 1.0);
    registry.StopRecording(second);
    PlayBlock(1.0, 1.0);
    registry.StopRecording(writer);
    EXPECT_EQ(ReadFile(path).size(), 44u + 2u * 384u);
    EXPECT_EQ(ReadFile(path2).size(), 44u + 384u);
}

TEST_F(WaveWriterTest, StartFailures) {
    writer.texts[wave_writer::FilePath].clear();
    EXPECT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::NoPath);
    writer.texts[wave_writer::FilePath] = folder.File("no-such-folder/x.wav");
    EXPECT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::OpenFailed);
    EXPECT_FALSE(registry.IsRecording(writer));
    Module notAWriter{ModuleKind::AudioOutput};
    EXPECT_EQ(registry.StartRecording(notAWriter), WaveWriterRegistry::StartResult::OpenFailed);
}

TEST_F(WaveWriterTest, MutedDevicesPlaySilenceOfTheSameLengthWhileTheRecordingKeepsTheSignal) {
    const auto bytes = Record([&] {
        out.SetMuted(true);
        PlayBlock(1.0, -1.0);
        out.SetMuted(false);
        PlayBlock(2.0, -2.0);
    });
    ASSERT_EQ(bytes.size(), 44u + 2u * 384u);
    EXPECT_EQ((std::array{S16(bytes, 44), S16(bytes, 46), S16(bytes, 44 + 384), S16(bytes, 46 + 384)}),
              (std::array<int16_t, 4>{32, -32, 64, -64}));
    const std::vector<int16_t> played = backend.Played(-1);
    ASSERT_EQ(played.size(), 2u * 2u * 96u);
    EXPECT_EQ(std::count(played.begin(), played.begin() + 192, int16_t(0)), 192);
    EXPECT_EQ(std::tuple(played[192], played[193]), std::tuple(int16_t(64), int16_t(-64)));
}

TEST_F(WaveWriterTest, SizesPast4GiBAreClampedNotWrapped) {
    // A sparse file of 5 GiB stands for a long recording.
    test::WriteBytes(path, "");
    ASSERT_EQ(::truncate(path.c_str(), off_t(5) << 30), 0);
    writer.bools[wave_writer::Append] = true;
    ASSERT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::Started);
    PlayBlock(1.0, 1.0);
    registry.StopRecording(writer); // (not Record: that would read the whole file back)
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, (off_t(5) << 30) + 384);
    std::ifstream f(path, std::ios::binary);
    std::vector<uint8_t> head(44);
    f.read(reinterpret_cast<char*>(head.data()), 44);
    EXPECT_EQ(std::tuple(U32(head, 4), U32(head, 40)), std::tuple(0xFFFFFFFFu, 0xFFFFFFFFu));
}

// The writer thread taps while the user stops and starts the recording: after a stop nothing more reaches
// the file, and every stopped file is whole.
TEST(WaveWriterThreading, StopIsExclusiveWithTheTap) {
    test::TempFolder folder;
    const std::string path = folder.File("tapped.wav");
    Module writer{ModuleKind::AudioWaveWriter};
    SetUpWriter(writer, path, 0);
    WaveWriterRegistry registry;
    std::array<int16_t, 2 * 96> frames{};
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = int16_t(i);
    std::atomic<bool> stop{false};
    std::atomic<int> taps{0};
    std::thread tapper([&] {
        while (!stop.load()) {
            registry.TapBuffer(frames.data(), uint32_t(frames.size() * 2), 0);
            ++taps;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    });
    const auto tapsAfter = [&](int count) { // waits (at most 10 s) until `count` more taps were made
        const int target = taps + count;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (taps < target && std::chrono::steady_clock::now() < until) std::this_thread::yield();
        return taps >= target;
    };
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(registry.StartRecording(writer), WaveWriterRegistry::StartResult::Started);
        ASSERT_TRUE(tapsAfter(3));
        ASSERT_TRUE(registry.StopRecording(writer));
        const auto size1 = ReadFile(path).size();
        ASSERT_TRUE(tapsAfter(3));
        const auto bytes = ReadFile(path);
        ASSERT_EQ(bytes.size(), size1) << "a tap reached a stopped file";
        ASSERT_GT(bytes.size(), 44u);
        ASSERT_EQ((bytes.size() - 44) % 384, 0u);
        ExpectFinished(bytes);
    }
    stop = true;
    tapper.join();
}

} // namespace
} // namespace mw
