#pragma once
// MIDI input through the ALSA sequencer. The devices are the readable, subscribable ports of the other
// clients (the system client left out), ordered by client and port number and named by their port names.
// Opening one makes a sequencer client "Murmelwerk" with one input port subscribed to that port; a reader
// thread turns note off/on, key pressure, controller, program change, channel pressure and pitch bend
// events into short messages. Without a sequencer (/dev/snd/seq) there are no devices.

#include <cstdint>
#include <string>
#include <vector>

#include "sources/midi_backend.hpp"

struct snd_seq_event;

namespace mw::platform {

/// The short message of a sequencer event (note off/on, key pressure, controller, program change,
/// channel pressure, pitch bend); false for other events.
bool SequencerEventToShortMessage(const snd_seq_event& event, uint32_t& message);

class AlsaMidiBackend final : public IMidiBackend {
public:
    AlsaMidiBackend();

    int DeviceCount() override;
    bool DeviceName(int device, std::string& name) override;
    std::unique_ptr<IMidiStream> Open(int device, MidiMessageFn message, void* context) override;

    struct Port {
        int client;
        int port;
        std::string name;
    };
    /// The ports offered as devices, in device order.
    static std::vector<Port> Ports();
};

} // namespace mw::platform
