#include "cli/wav_file.hpp"

#include <samplerate.h>
#include <sndfile.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/file_io.hpp"
#include "base/text.hpp"

namespace mw::cli {

namespace {

// Any other file: read as floats, the channels averaged, the rate converted, rounded to 16 bits.
// The frames a file holds, read a chunk at a time: the header's frame count is only a claim, and memory
// is taken for what the file really gives.
template <class Sample, class Read>
std::vector<Sample> ReadFrames(SNDFILE* file, const SF_INFO& info, Read read) {
    constexpr sf_count_t kChunkFrames = 65536;
    std::vector<Sample> frames;
    std::vector<Sample> chunk(size_t(kChunkFrames) * size_t(info.channels));
    for (sf_count_t left = info.frames; left > 0;) {
        const sf_count_t got = read(file, chunk.data(), std::min(left, kChunkFrames));
        if (got <= 0) break;
        frames.insert(frames.end(), chunk.begin(), chunk.begin() + ptrdiff_t(got * info.channels));
        left -= got;
    }
    return frames;
}

bool ReadConverted(SNDFILE* file, const SF_INFO& info, std::vector<int16_t>& mono, std::string& error) {
    const std::vector<float> frames = ReadFrames<float>(file, info, sf_readf_float);
    std::vector<float> mixed(frames.size() / size_t(info.channels));
    for (size_t i = 0; i < mixed.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c) sum += frames[i * size_t(info.channels) + size_t(c)];
        mixed[i] = sum / float(info.channels);
    }
    if (info.samplerate != 48000 && !mixed.empty()) {
        const double ratio = 48000.0 / double(info.samplerate);
        std::vector<float> out(size_t(std::ceil(double(mixed.size()) * ratio)) + 16);
        SRC_DATA data{};
        data.data_in = mixed.data();
        data.input_frames = long(mixed.size());
        data.data_out = out.data();
        data.output_frames = long(out.size());
        data.src_ratio = ratio;
        if (const int e = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1); e != 0) {
            error = std::string("the rate cannot be converted: ") + src_strerror(e);
            return false;
        }
        out.resize(size_t(data.output_frames_gen));
        mixed.swap(out);
    }
    mono.resize(mixed.size());
    for (size_t i = 0; i < mixed.size(); ++i)
        mono[i] = int16_t(std::lrint(std::clamp(double(mixed[i]) * 32768.0, -32768.0, 32767.0)));
    return true;
}

} // namespace

bool ReadWavFile(const std::string& path, std::vector<int16_t>& mono, std::string& error, std::string* note) {
    mono.clear();
    SF_INFO info{};
    SNDFILE* raw = sf_open(path.c_str(), SFM_READ, &info);
    if (!raw) {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(raw, sf_close);
    if (info.channels < 1 || info.frames < 0 || info.samplerate < 1) {
        error = "'" + path + "' holds no audio channel";
        return false;
    }
    // An input longer than the longest render (an hour) is refused before anything is allocated for it.
    constexpr double kMaxSeconds = 3600.0;
    if (double(info.frames) / double(info.samplerate) > kMaxSeconds ||
        double(info.frames) * double(info.channels) > double(1u << 31)) {
        error = "'" + path + "' is longer than an hour";
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    if ((major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX) || sub != SF_FORMAT_PCM_16 ||
        info.samplerate != 48000 || info.channels > 2) {
        SF_FORMAT_INFO format{};
        format.format = major;
        sf_command(file.get(), SFC_GET_FORMAT_INFO, &format, sizeof format);
        if (!ReadConverted(file.get(), info, mono, error)) {
            error = "'" + path + "': " + error;
            return false;
        }
        if (note)
            *note = "'" + path + "': converted " + (format.name ? format.name : "audio") + ", " +
                    std::to_string(info.samplerate) + " Hz, " + std::to_string(info.channels) +
                    " channel(s) to 16-bit mono at 48000 Hz";
        return true;
    }
    const std::vector<int16_t> frames = ReadFrames<int16_t>(file.get(), info, sf_readf_short);
    const auto got = sf_count_t(frames.size() / size_t(info.channels));
    mono.resize(size_t(got));
    for (sf_count_t i = 0; i < got; ++i) {
        if (info.channels == 1) {
            mono[size_t(i)] = frames[size_t(i)];
        } else {
            const int sum = frames[size_t(2 * i)] + frames[size_t(2 * i + 1)];
            mono[size_t(i)] = int16_t(sum / 2);
        }
    }
    return true;
}

int OutputFormatFor(const std::string& path) {
    const std::string ext = AsciiLowerCopy(std::filesystem::path(path).extension().string());
    if (ext.empty() || ext == ".wav") return 0;
    if (ext == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (ext == ".ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return -1;
}

bool EncodeWavFile(const std::string& wav, const std::string& target, int format, std::string& error) {
    using File = std::unique_ptr<SNDFILE, int (*)(SNDFILE*)>;
    SF_INFO in{};
    File source(sf_open(wav.c_str(), SFM_READ, &in), sf_close);
    if (!source) {
        error = "cannot read the render: " + std::string(sf_strerror(nullptr));
        return false;
    }
    const std::string destination = FileBehindLink(target);
    const std::string temporary = TemporaryNameBeside(destination);
    SF_INFO out{};
    out.samplerate = in.samplerate;
    out.channels = in.channels;
    out.format = format;
    bool ok = false;
    {
        File sink(sf_open(temporary.c_str(), SFM_WRITE, &out), sf_close);
        if (!sink) {
            error = "cannot write '" + target + "': " + sf_strerror(nullptr);
            return false;
        }
        std::vector<short> frames(size_t(4096) * size_t(in.channels));
        sf_count_t got = 0;
        ok = true;
        while (ok && (got = sf_readf_short(source.get(), frames.data(), 4096)) > 0)
            ok = sf_writef_short(sink.get(), frames.data(), got) == got;
        if (!ok) error = "cannot write '" + target + "': " + sf_strerror(sink.get());
        ok = ok && sf_close(sink.release()) == 0;
    }
    if (ok && std::rename(temporary.c_str(), destination.c_str()) != 0) {
        error = "cannot write '" + target + "'";
        ok = false;
    }
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

} // namespace mw::cli
