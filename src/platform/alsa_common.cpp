#include "platform/alsa_common.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <mutex>

namespace mw::platform {
namespace {

void SilentHandler(const char*, int, const char*, int, const char*, ...) {}

// alsa-lib's configuration is global; enumeration and opening are kept apart from each other.
std::mutex& ConfigMutex() {
    static std::mutex m;
    return m;
}

std::string OneLine(const char* text) {
    std::string s;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            s += ", ";
        else
            s += *p;
    }
    return s;
}

struct RawHint {
    std::string name, description;
    bool playback, capture;
};

std::vector<RawHint> Hints() {
    std::vector<RawHint> out;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || !hints) return out;
    for (void** h = hints; *h; ++h) {
        char* name = snd_device_name_get_hint(*h, "NAME");
        char* desc = snd_device_name_get_hint(*h, "DESC");
        char* ioid = snd_device_name_get_hint(*h, "IOID");
        if (name) {
            RawHint r;
            r.name = name;
            r.description = desc ? OneLine(desc) : r.name;
            const std::string io = ioid ? ioid : "";
            r.playback = io.empty() || io == "Output";
            r.capture = io.empty() || io == "Input";
            out.push_back(std::move(r));
        }
        free(name);
        free(desc);
        free(ioid);
    }
    snd_device_name_free_hint(hints);
    return out;
}

// The hints, read again at most once a second: a device list asks for every device's name in turn.
const std::vector<RawHint>& CachedHints() {
    using clock = std::chrono::steady_clock;
    static std::vector<RawHint> hints;
    static clock::time_point readAt;
    static bool valid = false;
    const auto now = clock::now();
    if (!valid || now - readAt > std::chrono::seconds(1)) {
        hints = Hints();
        readAt = now;
        valid = true;
    }
    return hints;
}

bool Wanted(const RawHint& h, snd_pcm_stream_t direction) {
    return direction == SND_PCM_STREAM_PLAYBACK ? h.playback : h.capture;
}

constexpr unsigned kPeriodUs = 5000;            // the period asked for
constexpr snd_pcm_uframes_t kStartFrames = 480; // 10 ms

// The format the program plays and records; every call must succeed.
int SetFormat(snd_pcm_t* pcm, snd_pcm_hw_params_t* hw, unsigned channels, bool resample) {
    int err = snd_pcm_hw_params_any(pcm, hw);
    if (err < 0) return err;
    if ((err = snd_pcm_hw_params_set_rate_resample(pcm, hw, resample ? 1 : 0)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_channels(pcm, hw, channels)) < 0) return err;
    return snd_pcm_hw_params_set_rate(pcm, hw, 48000, 0);
}

// The period nearest 5 ms, then the buffer nearest `bufferUs` as a whole number of those periods. A
// device may refuse a value near the wish and still narrow the space on the way (ALSA's JACK plugin
// takes only whole JACK periods): each refused call is undone from a copy, so what the device does take
// stays open. The period comes first, so the buffer is counted in the periods the device really uses.
void SetBufferAndPeriod(snd_pcm_t* pcm, snd_pcm_hw_params_t* hw, unsigned bufferUs) {
    snd_pcm_hw_params_t* saved = nullptr;
    snd_pcm_hw_params_alloca(&saved);
    snd_pcm_hw_params_copy(saved, hw);
    unsigned period = kPeriodUs;
    int dir = 0;
    if (snd_pcm_hw_params_set_period_time_near(pcm, hw, &period, &dir) < 0) snd_pcm_hw_params_copy(hw, saved);
    snd_pcm_hw_params_copy(saved, hw);
    unsigned buffer = bufferUs;
    dir = 0;
    if (snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &buffer, &dir) == 0) return;
    snd_pcm_hw_params_copy(hw, saved);
    dir = 0;
    if (snd_pcm_hw_params_get_period_time_min(hw, &period, &dir) < 0 || period == 0) return;
    unsigned periods = std::max((bufferUs + period / 2) / period, 2u);
    dir = 0;
    if (snd_pcm_hw_params_set_periods_near(pcm, hw, &periods, &dir) < 0) snd_pcm_hw_params_copy(hw, saved);
}

int Configure(snd_pcm_t* pcm, unsigned channels, unsigned bufferUs, bool resample, PcmSetup& setup) {
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    int err = SetFormat(pcm, hw, channels, resample);
    if (err < 0) return err;
    SetBufferAndPeriod(pcm, hw, bufferUs);
    if (snd_pcm_hw_params(pcm, hw) < 0) {
        // The device takes no buffer near the wish after all: its own choice, in the program's format.
        if ((err = SetFormat(pcm, hw, channels, resample)) < 0) return err;
        if ((err = snd_pcm_hw_params(pcm, hw)) < 0) return err;
    }

    snd_pcm_uframes_t bufferFrames = 0, periodFrames = 0;
    if ((err = snd_pcm_get_params(pcm, &bufferFrames, &periodFrames)) < 0) return err;
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0) return err;
    // Playback starts once 10 ms or one period are queued (or the whole buffer, if smaller); capture at
    // once.
    snd_pcm_uframes_t start = 1;
    if (snd_pcm_stream(pcm) == SND_PCM_STREAM_PLAYBACK)
        start = std::min(bufferFrames, std::max(kStartFrames, periodFrames));
    if ((err = snd_pcm_sw_params_set_start_threshold(pcm, sw, start)) < 0) return err;
    if ((err = snd_pcm_sw_params_set_avail_min(pcm, sw, std::max<snd_pcm_uframes_t>(periodFrames, 1))) < 0)
        return err;
    if ((err = snd_pcm_sw_params(pcm, sw)) < 0) return err;
    if ((err = snd_pcm_prepare(pcm)) < 0) return err;
    setup.bufferFrames = bufferFrames;
    setup.periodFrames = periodFrames;
    return 0;
}

} // namespace

void QuietAlsaErrors() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&SilentHandler); });
}

std::vector<PcmHint> ListPcms(snd_pcm_stream_t direction) {
    QuietAlsaErrors();
    std::lock_guard lock(ConfigMutex());
    std::vector<PcmHint> out;
    for (const RawHint& h : CachedHints())
        if (Wanted(h, direction) && h.name != "default") out.push_back({h.name, h.description});
    return out;
}

bool DefaultPcmDescription(snd_pcm_stream_t direction, std::string& description) {
    QuietAlsaErrors();
    std::lock_guard lock(ConfigMutex());
    for (const RawHint& h : CachedHints())
        if (Wanted(h, direction) && h.name == "default") {
            description = h.description;
            return true;
        }
    return false;
}

int OpenPcm(const std::string& name, snd_pcm_stream_t direction, unsigned channels, unsigned bufferUs,
            snd_pcm_t** pcm, PcmSetup* setup) {
    QuietAlsaErrors();
    std::lock_guard lock(ConfigMutex());
    *pcm = nullptr;
    PcmSetup got;
    snd_pcm_t* p = nullptr;
    int err = snd_pcm_open(&p, name.c_str(), direction, SND_PCM_NONBLOCK);
    if (err < 0) return err;
    err = Configure(p, channels, bufferUs, false, got);
    if (err < 0) {
        snd_pcm_close(p);
        // The hardware wants another format or rate: let the plug layer convert.
        if (name.rfind("plug", 0) == 0) return err;
        const std::string plug = "plug:'" + name + "'";
        if ((err = snd_pcm_open(&p, plug.c_str(), direction, SND_PCM_NONBLOCK)) < 0) return err;
        if ((err = Configure(p, channels, bufferUs, true, got)) < 0) {
            snd_pcm_close(p);
            return err;
        }
        got.plug = true;
    }
    *pcm = p;
    if (setup) *setup = got;
    return 0;
}

int PcmDevices::Count() const {
    return int(ListPcms(direction).size());
}

bool PcmDevices::Name(int device, std::string& name) const {
    const auto pcms = ListPcms(direction);
    if (device == -1) {
        if (defaultPcm == "default" && DefaultPcmDescription(direction, name)) return true;
        for (const PcmHint& h : pcms)
            if (h.name == defaultPcm) {
                name = h.description;
                return true;
            }
        // Without a hint for it the default still exists when some card does.
        for (const PcmHint& h : pcms)
            if (h.name != "null") {
                name = direction == SND_PCM_STREAM_PLAYBACK ? "Default ALSA Output" : "Default ALSA Input";
                return true;
            }
        return false;
    }
    if (device < 0 || device >= int(pcms.size())) return false;
    name = pcms[size_t(device)].description;
    return true;
}

bool PcmDevices::Pcm(int device, std::string& pcm) const {
    if (device == -1) {
        pcm = defaultPcm;
        return true;
    }
    const auto pcms = ListPcms(direction);
    if (device < 0 || device >= int(pcms.size())) return false;
    pcm = pcms[size_t(device)].name;
    return true;
}

} // namespace mw::platform
