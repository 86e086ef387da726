#include "platform/alsa_common.hpp"

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

int Configure(snd_pcm_t* pcm, unsigned channels, unsigned bufferUs, bool resample) {
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    int err = snd_pcm_hw_params_any(pcm, hw);
    if (err < 0) return err;
    if ((err = snd_pcm_hw_params_set_rate_resample(pcm, hw, resample ? 1 : 0)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_channels(pcm, hw, channels)) < 0) return err;
    if ((err = snd_pcm_hw_params_set_rate(pcm, hw, 48000, 0)) < 0) return err;
    unsigned buffer = bufferUs;
    int dir = 0;
    (void)snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &buffer, &dir);
    unsigned period = 5000; // 5 ms
    dir = 0;
    (void)snd_pcm_hw_params_set_period_time_near(pcm, hw, &period, &dir);
    if ((err = snd_pcm_hw_params(pcm, hw)) < 0) return err;

    snd_pcm_uframes_t bufferFrames = 0, periodFrames = 0;
    snd_pcm_get_params(pcm, &bufferFrames, &periodFrames);
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0) return err;
    // Playback starts once 10 ms are queued (or the whole buffer, if smaller); capture at once.
    snd_pcm_uframes_t start = 1;
    if (snd_pcm_stream(pcm) == SND_PCM_STREAM_PLAYBACK) start = bufferFrames < 480 ? bufferFrames : 480;
    (void)snd_pcm_sw_params_set_start_threshold(pcm, sw, start);
    (void)snd_pcm_sw_params_set_avail_min(pcm, sw, periodFrames > 0 ? periodFrames : 1);
    if ((err = snd_pcm_sw_params(pcm, sw)) < 0) return err;
    return snd_pcm_prepare(pcm);
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
            snd_pcm_t** pcm) {
    QuietAlsaErrors();
    std::lock_guard lock(ConfigMutex());
    *pcm = nullptr;
    snd_pcm_t* p = nullptr;
    int err = snd_pcm_open(&p, name.c_str(), direction, SND_PCM_NONBLOCK);
    if (err < 0) return err;
    if (Configure(p, channels, bufferUs, false) == 0) {
        *pcm = p;
        return 0;
    }
    snd_pcm_close(p);
    // The hardware wants another format or rate: let the plug layer convert.
    if (name.rfind("plug", 0) == 0) return -EINVAL;
    const std::string plug = "plug:'" + name + "'";
    err = snd_pcm_open(&p, plug.c_str(), direction, SND_PCM_NONBLOCK);
    if (err < 0) return err;
    if ((err = Configure(p, channels, bufferUs, true)) < 0) {
        snd_pcm_close(p);
        return err;
    }
    *pcm = p;
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
