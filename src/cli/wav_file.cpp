#include "cli/wav_file.hpp"

#include <sndfile.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/file_io.hpp"
#include "base/text.hpp"

namespace mw::cli {

bool ReadWavFile(const std::string& path, std::vector<int16_t>& mono, std::string& error) {
    mono.clear();
    SF_INFO info{};
    SNDFILE* raw = sf_open(path.c_str(), SFM_READ, &info);
    if (!raw) {
        error = "cannot read '" + path + "': " + sf_strerror(nullptr);
        return false;
    }
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(raw, sf_close);
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    if ((major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX) || sub != SF_FORMAT_PCM_16) {
        error = "'" + path + "' is not a 16-bit PCM WAV file";
        return false;
    }
    if (info.samplerate != 48000) {
        error =
            "'" + path + "' has " + std::to_string(info.samplerate) + " samples per second; 48000 are needed";
        return false;
    }
    if (info.channels < 1 || info.channels > 2) {
        error = "'" + path + "' must be mono or stereo";
        return false;
    }
    std::vector<int16_t> frames(size_t(info.frames) * size_t(info.channels));
    const sf_count_t got = sf_readf_short(file.get(), frames.data(), info.frames);
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
