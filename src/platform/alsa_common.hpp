#pragma once
// What the ALSA backends share: quiet library errors, the PCM list, opening a PCM at the program's
// format (directly, or through the plug layer when the hardware needs conversion).

#include <alsa/asoundlib.h>

#include <atomic>
#include <string>
#include <vector>

#include "audio/thread_priority.hpp"

namespace mw::platform {

/// ALSA's own error printing is switched off once: device failures are handled, not printed.
void QuietAlsaErrors();

struct PcmHint {
    std::string name;        // the PCM name to open
    std::string description; // its description, lines joined with ", "
};

/// The PCMs that ALSA's name hints list for one direction, in ALSA's order; "default" is left out.
std::vector<PcmHint> ListPcms(snd_pcm_stream_t direction);
/// The description of the "default" PCM when the hints list one.
bool DefaultPcmDescription(snd_pcm_stream_t direction, std::string& description);

/// How an opened PCM was set up.
struct PcmSetup {
    snd_pcm_uframes_t bufferFrames = 0;
    snd_pcm_uframes_t periodFrames = 0;
    bool plug = false; ///< through the plug layer
};

/// Opens a PCM non-blocking at 48000 Hz, 16-bit little-endian, interleaved, `channels` channels, with a
/// period of about 5 ms and a buffer of about `bufferUs`, each as near as the device allows (a device
/// that takes neither opens at its own choice); first directly, then through the plug layer. Error code
/// < 0 on failure (-EBUSY when another program holds the device); `setup` receives the buffer and period.
int OpenPcm(const std::string& name, snd_pcm_stream_t direction, unsigned channels, unsigned bufferUs,
            snd_pcm_t** pcm, PcmSetup* setup = nullptr);

/// The PCMs of one direction as devices: -1 is `defaultPcm`, 0..n-1 the PCMs of the name hints.
struct PcmDevices {
    snd_pcm_stream_t direction;
    std::string defaultPcm;

    int Count() const;
    /// A device's description; the default's is the hint's for it, or a name of its own while some PCM
    /// other than "null" exists.
    bool Name(int device, std::string& name) const;
    /// The PCM name to open for a device.
    bool Pcm(int device, std::string& pcm) const;
};

/// What a PCM stream shares with its thread: the PCM, the thread with its lock, wake-up and stop flag,
/// and the failure flag. The owning stream stops the thread first in its destructor; the PCM is dropped
/// and closed with this object.
struct PcmStreamThread : DeviceThread {
    explicit PcmStreamThread(snd_pcm_t* p) : pcm(p) {}
    ~PcmStreamThread() {
        Stop();
        snd_pcm_drop(pcm);
        snd_pcm_close(pcm);
    }
    bool Failed() const { return failed.load(std::memory_order_relaxed); }

    snd_pcm_t* const pcm;
    std::atomic<bool> failed{false};
};

} // namespace mw::platform
