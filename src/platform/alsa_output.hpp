#pragma once
// Audio output through ALSA. Device -1 is the PCM named by Options::defaultPcm ("default"); devices
// 0..n-1 are the playback PCMs of ALSA's name hints in ALSA's order ("default" itself left out), named
// by their descriptions. A buffer is written to the PCM (non-blocking, never under a lock of the manager)
// by the thread that hands it over, the manager's writer, which then reads back how far playback has come
// (snd_pcm_delay) and reports each buffer done once its last frame has been played; each open device
// also has a thread of its own that writes what the PCM had no room for as room is made, and looks at
// the played position when nothing has been handed over for 20 ms. Underruns are
// recovered (snd_pcm_recover) and counted; a PCM that cannot be recovered marks the stream failed, so
// the manager reopens the device on its next use. A PCM that cannot be opened leaves its name and ALSA's
// reason in LastOpenError.

#include <mutex>
#include <string>

#include "audio/output_backend.hpp"

namespace mw::platform {

class AlsaOutputBackend final : public IOutputBackend {
public:
    struct Options {
        std::string defaultPcm = "default";
        unsigned bufferUs = 200000; // ALSA's ring; what does not fit waits in the manager's buffers
    };
    AlsaOutputBackend();
    explicit AlsaOutputBackend(Options options);

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IOutputStream> Open(int device, OutputDoneFn done, void* context) override;
    std::string LastOpenError() override;

private:
    Options options_;
    std::mutex errorMutex_;
    std::string lastError_; // under errorMutex_
};

} // namespace mw::platform
