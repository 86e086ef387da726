#pragma once
// Audio input through ALSA. Device -1 is the PCM named by Options::defaultPcm ("default"); devices
// 0..n-1 are the capture PCMs of ALSA's name hints in ALSA's order ("default" left out), named by their
// descriptions. Each open device has a reader thread that fills the queued buffers 96 samples at a time
// (never under a lock of the manager) and reports each one when it is full. Overruns are recovered and
// counted; a PCM that cannot be recovered marks the stream failed. A device held by another program
// opens with status Busy. A device that delivers faster than real time (ALSA's "null" PCM) is paced.

#include <string>

#include "sources/input_backend.hpp"

namespace mw::platform {

class AlsaInputBackend final : public IInputBackend {
public:
    struct Options {
        std::string defaultPcm = "default";
        unsigned bufferUs = 100000;
    };
    AlsaInputBackend();
    explicit AlsaInputBackend(Options options);

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IInputStream> Open(int device, InputDoneFn done, void* context,
                                       InputOpenStatus& status) override;

private:
    Options options_;
};

} // namespace mw::platform
