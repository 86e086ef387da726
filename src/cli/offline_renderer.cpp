#include "cli/offline_renderer.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "audio/memory_output.hpp"
#include "audio/wave_writer_registry.hpp"
#include "base/file_io.hpp"
#include "sources/memory_input.hpp"
#include "sources/memory_midi.hpp"
#include "sources/mouse_sampler.hpp"

namespace mw::cli {
namespace {

constexpr int kDeviceCount = 9; // devices 0..8 besides the default, as many as the engine can address
constexpr uint32_t kSamplesPerSamplerIteration = 480; // 10 ms

// Counts the frames handed to each device, so the renderer can tell when a device played nothing.
class CountingBackend final : public IOutputBackend {
public:
    explicit CountingBackend(IOutputBackend& inner) : inner_(inner) {}
    int DeviceCount() override { return inner_.DeviceCount(); }
    bool DeviceName(int device, std::string& name) override { return inner_.DeviceName(device, name); }
    std::unique_ptr<IOutputStream> Open(int device, OutputDoneFn done, void* context) override {
        auto s = inner_.Open(device, done, context);
        if (!s) return nullptr;
        return std::make_unique<Stream>(std::move(s), Counter(device));
    }
    uint64_t Frames(int device) const {
        return (device >= -1 && device < kDeviceCount) ? frames_[device + 1] : 0;
    }

private:
    class Stream final : public IOutputStream {
    public:
        Stream(std::unique_ptr<IOutputStream> inner, uint64_t* counter)
            : inner_(std::move(inner)), counter_(counter) {}
        bool Write(const int16_t* frames, uint32_t count, uint32_t tag) override {
            const bool ok = inner_->Write(frames, count, tag);
            if (ok && counter_) *counter_ += count;
            return ok;
        }
        bool Failed() const override { return inner_->Failed(); }
        uint64_t Underruns() const override { return inner_->Underruns(); }

    private:
        std::unique_ptr<IOutputStream> inner_;
        uint64_t* counter_;
    };
    uint64_t* Counter(int device) {
        return (device >= -1 && device < kDeviceCount) ? &frames_[device + 1] : nullptr;
    }

    IOutputBackend& inner_;
    std::array<uint64_t, kDeviceCount + 1> frames_{};
};

std::vector<MemoryOutputBackend::DeviceDesc> OutputDescs() {
    std::vector<MemoryOutputBackend::DeviceDesc> descs;
    for (int i = 0; i < kDeviceCount; ++i) descs.push_back({"Offline Output " + std::to_string(i)});
    return descs;
}

} // namespace

struct OfflineRenderer::Devices {
    explicit Devices(const RenderSettings& s)
        : outBackend(OutputDescs(), "Offline Default Output"), counting(outBackend),
          midiBackend(MidiDescs(s)),
          inBackend({}, MemoryInputBackend::DeviceDesc{"Offline Default Input", s.input, false}),
          pointer(s.gesture, s.screen) {}

    static std::vector<MemoryMidiBackend::DeviceDesc> MidiDescs(const RenderSettings& s) {
        MemoryMidiBackend::DeviceDesc d{"Offline MIDI In", {}};
        for (const TimedMidiMessage& m : s.midi) {
            const double frame = std::max(0.0, std::round(m.seconds * kSampleRate));
            d.messages.push_back({uint64_t(frame), m.message});
        }
        return {d};
    }

    MemoryOutputBackend outBackend;
    CountingBackend counting;
    MemoryMidiBackend midiBackend;
    MemoryInputBackend inBackend;
    ScriptedPointer pointer;
};

OfflineRenderer::OfflineRenderer(RenderSettings settings)
    : s_(std::move(settings)), dev_(std::make_unique<Devices>(s_)),
      session_(std::make_unique<Session>(
          SessionDevices{dev_->counting, dev_->midiBackend, dev_->inBackend, dev_->pointer},
          SessionMode::Offline)) {}

OfflineRenderer::~OfflineRenderer() {
    // The session goes before the devices it plays on.
    session_.reset();
}

uint64_t OfflineRenderer::FrameCount() const {
    const double f = std::round(std::max(0.0, s_.seconds) * kSampleRate);
    return f > 1e12 ? uint64_t(1e12) : uint64_t(f);
}

void OfflineRenderer::RenderBlocks(const std::function<void(uint32_t)>& afterBlock) {
    Devices& d = *dev_;
    Session& session = *session_;
    Engine& e = session.GetEngine();
    e.Seed(s_.seed);
    e.controlRate = s_.controlRate;
    e.steerLatency = false;
    e.drawPictures = false; // no window shows an analyzer's picture
    e.blockAdjust = 0;
    MouseSamplerControls& controls = session.SamplerControls();
    controls.wrapMouse = s_.wrapMouse;

    const uint64_t frames = FrameCount();
    const uint64_t blocks = (frames + kBaseBlockLength - 1) / kBaseBlockLength;
    uint64_t sample = 0;
    session.BeginOffline();
    for (uint64_t b = 0; b < blocks; ++b) {
        if (sample % kSamplesPerSamplerIteration == 0) {
            if (sample > 0) {
                // One wheel message per notch, as the window system sends them.
                for (int n = d.pointer.Advance(); n != 0; n -= (n > 0 ? 1 : -1))
                    controls.wheel.OnWheel(n > 0 ? 120 : -120);
            }
            session.SampleMouse();
            // The user interface's 10 ms poll: learned MIDI sliders and caught notes.
            session.Poll();
        }
        d.inBackend.Advance(kBaseBlockLength);
        session.RenderBlock();
        // MIDI falls due after the block: the block's end has opened the devices its modules use, so
        // notes at the very start of a MIDI file are not lost to a device that was still closed.
        d.midiBackend.Advance(kBaseBlockLength);
        d.outBackend.Advance(kBaseBlockLength);
        sample += kBaseBlockLength;
        afterBlock(kBaseBlockLength);
        if (s_.progress && (b % 250 == 0 || b + 1 == blocks)) s_.progress(double(b + 1) / double(blocks));
    }
    session.EndOffline();
}

std::vector<int16_t> OfflineRenderer::RenderFrames() {
    dev_->outBackend.ClearPlayed();
    const int32_t device = s_.device;
    // Per block: did the device get frames? A block that reached no module plays as silence.
    std::vector<bool> played;
    uint64_t last = 0;
    RenderBlocks([&](uint32_t) {
        const uint64_t now = dev_->counting.Frames(device);
        played.push_back(now > last);
        last = now;
    });
    const std::vector<int16_t> frames = dev_->outBackend.Played(device);
    std::vector<int16_t> out;
    out.reserve(played.size() * 2 * kBaseBlockLength);
    size_t at = 0;
    for (bool p : played) {
        const size_t n = 2 * kBaseBlockLength;
        if (p && at + n <= frames.size()) {
            out.insert(out.end(), frames.begin() + long(at), frames.begin() + long(at + n));
            at += n;
        } else {
            out.insert(out.end(), n, int16_t(0));
        }
    }
    out.resize(size_t(FrameCount()) * 2);
    dev_->outBackend.ClearPlayed();
    return out;
}

namespace {

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Cuts a finished recording to exactly `frames` stereo frames and sets both size fields to match.
bool TrimWaveFile(const std::string& path, uint64_t frames, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const uint64_t dataBytes = frames * 4;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && uint64_t(info.st_size) < 44 + dataBytes) { // never stretched over frames that are missing
        ::close(fd);
        error = "the file holds fewer frames than were rendered";
        return false;
    }
    ok = ok && ::ftruncate(fd, off_t(44 + dataBytes)) == 0;
    uint8_t riff[4], data[4];
    const uint64_t riffSize = 36 + dataBytes;
    PutLe32(riff, riffSize > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(riffSize));
    PutLe32(data, dataBytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(dataBytes));
    ok = ok && ::pwrite(fd, riff, 4, 4) == 4 && ::pwrite(fd, data, 4, 40) == 4 && ::fsync(fd) == 0;
    if (!ok) error = std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = std::strerror(errno);
    }
    return ok;
}

} // namespace

bool OfflineRenderer::RenderToFile(const std::string& path, std::string& error) {
    // The render goes to a temporary file beside the target and is renamed over it only when complete:
    // a failed render leaves no partial file, and a file already at the path stays as it was.
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string target = FileBehindLink(path); // the link's file is replaced
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        error = "cannot write '" + path + "': not a regular file";
        return false;
    }
    const std::string temporary = TemporaryNameBeside(target);
    const auto fail = [&](const std::string& why) {
        ::unlink(temporary.c_str());
        error = "cannot write '" + path + "': " + why;
        return false;
    };

    WaveWriterRegistry& registry = session_->Recordings();
    Module writer(ModuleKind::AudioWaveWriter);
    writer.texts[wave_writer::FilePath] = temporary;
    writer.bools[wave_writer::Append] = false;
    writer.devices[wave_writer::Output] = s_.device;
    errno = 0;
    if (registry.StartRecording(writer) != WaveWriterRegistry::StartResult::Started)
        return fail(errno != 0 ? std::strerror(errno) : "the file cannot be created");
    const int32_t device = s_.device;
    uint64_t last = 0;
    const std::vector<int16_t> silence(2 * kMaxBlockSamples, 0);
    stats_ = {};
    RenderBlocks([&](uint32_t n) {
        // A block in which no module played to the device: the device plays silence, and so does the file.
        const uint64_t now = dev_->counting.Frames(device);
        if (now == last) {
            registry.TapBuffer(silence.data(), n * 4, device);
            stats_.samples += 2 * n;
        } else {
            for (const int16_t v : dev_->outBackend.Played(device)) {
                const int32_t magnitude = v < 0 ? -int32_t(v) : int32_t(v);
                stats_.samples += 1;
                stats_.nonZero += v != 0 ? 1 : 0;
                stats_.peak = std::max(stats_.peak, magnitude);
                stats_.clipped += v == 32767 || v == -32768 ? 1 : 0;
                stats_.sumSquares += double(v) * double(v);
            }
        }
        last = now;
        dev_->outBackend.ClearPlayed(); // the file has them; keep no copy
    });
    int writeError = 0;
    registry.StopRecording(writer, &writeError);
    if (writeError != 0) return fail(std::strerror(writeError));
    std::string why;
    if (!TrimWaveFile(temporary, FrameCount(), why)) return fail(why);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(std::strerror(errno));
    return true;
}

} // namespace mw::cli
