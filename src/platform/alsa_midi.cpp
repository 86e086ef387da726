#include "platform/alsa_midi.hpp"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/alsa_common.hpp"

namespace mw::platform {

bool SequencerEventToShortMessage(const snd_seq_event& ev, uint32_t& out) {
    auto make = [&out](unsigned status, unsigned d1, unsigned d2) {
        out = MidiShortMessage(uint8_t(status), uint8_t(d1 & 0x7F), uint8_t(d2 & 0x7F));
        return true;
    };
    switch (ev.type) {
    case SND_SEQ_EVENT_NOTEOFF:
        return make(0x80 | (ev.data.note.channel & 0x0F), ev.data.note.note, ev.data.note.velocity);
    case SND_SEQ_EVENT_NOTEON:
        return make(0x90 | (ev.data.note.channel & 0x0F), ev.data.note.note, ev.data.note.velocity);
    case SND_SEQ_EVENT_KEYPRESS:
        return make(0xA0 | (ev.data.note.channel & 0x0F), ev.data.note.note, ev.data.note.velocity);
    case SND_SEQ_EVENT_CONTROLLER:
        return make(0xB0 | (ev.data.control.channel & 0x0F), ev.data.control.param,
                    unsigned(ev.data.control.value));
    case SND_SEQ_EVENT_PGMCHANGE:
        return make(0xC0 | (ev.data.control.channel & 0x0F), unsigned(ev.data.control.value), 0);
    case SND_SEQ_EVENT_CHANPRESS:
        return make(0xD0 | (ev.data.control.channel & 0x0F), unsigned(ev.data.control.value), 0);
    case SND_SEQ_EVENT_PITCHBEND: {
        // The sequencer's -8192..8191 back to the 14-bit value 0..16383: low seven bits, then high.
        int v = ev.data.control.value + 8192;
        if (v < 0) v = 0;
        if (v > 16383) v = 16383;
        return make(0xE0 | (ev.data.control.channel & 0x0F), unsigned(v) & 0x7F, unsigned(v) >> 7);
    }
    default:
        return false;
    }
}

namespace {

class AlsaMidiStream final : public IMidiStream {
public:
    AlsaMidiStream(snd_seq_t* seq, MidiMessageFn fn, void* context) : seq_(seq), fn_(fn), context_(context) {
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    ~AlsaMidiStream() override {
        stop_.store(true);
        if (wake_ >= 0) {
            const uint64_t one = 1;
            (void)!write(wake_, &one, sizeof one);
        }
        if (thread_.joinable()) thread_.join();
        snd_seq_close(seq_);
        if (wake_ >= 0) close(wake_);
    }
    bool Start() override {
        if (wake_ < 0) return false;
        if (!thread_.joinable()) thread_ = std::thread([this] { Main(); });
        return true;
    }

private:
    void Main() {
        const int n = snd_seq_poll_descriptors_count(seq_, POLLIN);
        std::vector<pollfd> fds(size_t(n > 0 ? n : 0) + 1);
        fds[0] = {wake_, POLLIN, 0};
        if (n > 0) snd_seq_poll_descriptors(seq_, fds.data() + 1, unsigned(n), POLLIN);
        while (!stop_.load()) {
            if (poll(fds.data(), nfds_t(fds.size()), 100) < 0 && errno != EINTR) break;
            if (stop_.load()) break;
            for (;;) {
                snd_seq_event_t* ev = nullptr;
                const int r = snd_seq_event_input(seq_, &ev);
                if (r == -ENOSPC) continue; // the input queue overflowed: go on with what follows
                if (r < 0) break;           // -EAGAIN: nothing more for now
                uint32_t message = 0;
                if (ev && SequencerEventToShortMessage(*ev, message)) fn_(context_, message);
            }
        }
    }

    snd_seq_t* const seq_;
    const MidiMessageFn fn_;
    void* const context_;
    int wake_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

snd_seq_t* OpenSequencer(int mode) {
    QuietAlsaErrors();
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", mode, SND_SEQ_NONBLOCK) < 0) return nullptr;
    return seq;
}

} // namespace

AlsaMidiBackend::AlsaMidiBackend() {
    QuietAlsaErrors();
}

namespace {

std::vector<AlsaMidiBackend::Port> QueryPorts() {
    std::vector<AlsaMidiBackend::Port> ports;
    snd_seq_t* seq = OpenSequencer(SND_SEQ_OPEN_INPUT);
    if (!seq) return ports;
    const int self = snd_seq_client_id(seq);
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int c = snd_seq_client_info_get_client(client);
        if (c == SND_SEQ_CLIENT_SYSTEM || c == self) continue;
        snd_seq_port_info_set_client(port, c);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            const unsigned wanted = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
            const char* name = snd_seq_port_info_get_name(port);
            ports.push_back({c, snd_seq_port_info_get_port(port), name ? name : ""});
        }
    }
    snd_seq_close(seq);
    return ports; // the sequencer lists clients and ports in ascending order
}

} // namespace

// Read again at most once a second: a device list asks for every device's name in turn.
std::vector<AlsaMidiBackend::Port> AlsaMidiBackend::Ports() {
    using clock = std::chrono::steady_clock;
    static std::mutex mutex;
    static std::vector<Port> ports;
    static clock::time_point readAt;
    static bool valid = false;
    std::lock_guard lock(mutex);
    const auto now = clock::now();
    if (!valid || now - readAt > std::chrono::seconds(1)) {
        ports = QueryPorts();
        readAt = now;
        valid = true;
    }
    return ports;
}

int AlsaMidiBackend::DeviceCount() {
    return int(Ports().size());
}

bool AlsaMidiBackend::DeviceName(int device, std::string& name) {
    const auto ports = Ports();
    if (device < 0 || device >= int(ports.size())) return false;
    name = ports[size_t(device)].name;
    return true;
}

std::unique_ptr<IMidiStream> AlsaMidiBackend::Open(int device, MidiMessageFn message, void* context) {
    const auto ports = Ports();
    if (device < 0 || device >= int(ports.size())) return nullptr;
    snd_seq_t* seq = OpenSequencer(SND_SEQ_OPEN_INPUT);
    if (!seq) return nullptr;
    snd_seq_set_client_name(seq, "Murmelwerk");
    const int in = snd_seq_create_simple_port(seq, "Murmelwerk MIDI In",
                                              SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                              SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (in < 0 ||
        snd_seq_connect_from(seq, in, ports[size_t(device)].client, ports[size_t(device)].port) < 0) {
        snd_seq_close(seq);
        return nullptr;
    }
    return std::make_unique<AlsaMidiStream>(seq, message, context);
}

} // namespace mw::platform
