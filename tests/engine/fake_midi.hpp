#pragma once
// An in-memory MIDI input: devices that the test declares present take short messages and keep the
// state a MIDI module reads (held notes per channel, last value per status and first data byte).

#include <array>
#include <map>
#include <memory>
#include <mutex>

#include "engine/devices.hpp"

namespace mw::test {

class FakeMidiInput final : public IMidiInput {
public:
    struct Device {
        std::array<uint8_t, kMidiNoteTableSize> noteVelocity{};
        std::array<float, 65536> lastValue{};
        int32_t lastIndex = -1;
        uint64_t stamp = 0;
    };
    /// Makes device n available; its state starts at zero.
    void Plug(int32_t n) {
        std::lock_guard lock(mutex_);
        devices_[n] = std::make_unique<Device>();
    }
    void Unplug(int32_t n) {
        std::lock_guard lock(mutex_);
        devices_.erase(n);
    }
    /// A short message as the device delivers it.
    void Send(int32_t n, uint8_t status, uint8_t d1, uint8_t d2) {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(n);
        if (it == devices_.end()) return;
        Device& d = *it->second;
        if (status >= 0x80 && status <= 0x8F) d.noteVelocity[size_t((status - 0x80) * 128 + d1)] = 0;
        if (status >= 0x90 && status <= 0x9F) d.noteVelocity[size_t((status - 0x90) * 128 + d1)] = d2;
        if (status >= 0x80 && status <= 0x9F) d.stamp = ++lastStamp_;
        if (status >= 0x80 && status <= 0xBF) {
            d.lastIndex = status * 128 + d1;
            d.lastValue[size_t(d.lastIndex)] = d2;
        } else if (status >= 0xC0 && status <= 0xDF) {
            d.lastIndex = status * 128;
            d.lastValue[size_t(d.lastIndex)] = d1;
        } else if (status >= 0xE0 && status <= 0xEF) {
            d.lastIndex = status * 128;
            d.lastValue[size_t(d.lastIndex)] = d2;
        }
    }
    void BeginMidiBlock() override {}
    bool UseMidiDevice(int32_t n) override {
        std::lock_guard lock(mutex_);
        return devices_.count(n) != 0;
    }
    bool CopyNoteVelocities(int32_t n, std::array<uint8_t, kMidiNoteTableSize>& out,
                            uint64_t& stamp) override {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(n);
        if (it == devices_.end()) return false;
        ++polls;
        if (stamp != it->second->stamp) {
            out = it->second->noteVelocity;
            stamp = it->second->stamp;
        }
        return true;
    }
    double ReadLastValue(int32_t n, int32_t index) override {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(n);
        return it == devices_.end() ? 0.0 : it->second->lastValue[size_t(index & 0xFFFF)];
    }
    int32_t GetLastIndex(int32_t n) override {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(n);
        return it == devices_.end() ? -1 : it->second->lastIndex;
    }
    void EndMidiBlock() override {}
    void CloseAllMidi() override {}
    int polls = 0;

private:
    std::mutex mutex_;
    uint64_t lastStamp_ = 0;
    std::map<int32_t, std::unique_ptr<Device>> devices_;
};

} // namespace mw::test
