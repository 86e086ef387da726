#pragma once
// What the ALSA backends share: quiet library errors, the PCM list, opening a PCM at the program's
// format (directly, or through the plug layer when the hardware needs conversion).

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

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

/// Opens a PCM non-blocking at 48000 Hz, 16-bit little-endian, interleaved, `channels` channels, with
/// about `bufferUs` of device buffer; first directly, then through the plug layer. Error code < 0 on
/// failure (-EBUSY when another program holds the device).
int OpenPcm(const std::string& name, snd_pcm_stream_t direction, unsigned channels, unsigned bufferUs,
            snd_pcm_t** pcm);

} // namespace mw::platform
