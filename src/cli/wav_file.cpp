#include "cli/wav_file.hpp"

#include <sndfile.h>

#include <memory>

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

} // namespace mw::cli
