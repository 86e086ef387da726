#pragma once
// Helpers shared by the note modules and the control modules: output slots, input voices, the
// note-indexed voice table, pitch, the MIDI poll rhythm and a single-producer ring for requests that
// the engine thread hands to the model thread.

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>

#include "engine/control_eval.hpp"
#include "engine/engine.hpp"
#include "model/module.hpp"

namespace mw::notes {

/// The ModuleSlot of output k of a module, or null when it has none.
inline ModuleSlot* OutSlot(Engine& e, const Module& m, int k = 0) {
    const int32_t s = m.slot[size_t(k)];
    if (s < 0 || s >= kSlotCount) return nullptr;
    return &e.slots[size_t(s)];
}

/// Number of voices a source offers, never above the voice table size.
inline int InputVoices(const Engine& e, SourceId id) {
    const int n = e.VoiceCountOf(id);
    return n < 0 ? 0 : (n > kMaxVoices ? kMaxVoices : n);
}

template <class State> State* StateOf(Module& m) {
    return static_cast<State*>(m.state.get());
}

/// x, or lower when x is below it or NaN.
inline double AtLeast(double x, double lower) {
    return x >= lower ? x : lower;
}

/// Equal temperament on 16.35 Hz (the C of octave 0): semitones above it to hertz.
inline double NoteFrequency(double semitones) {
    return 16.35 * std::exp2(semitones / 12.0);
}

/// MIDI state is polled on every tick up to a control rate of 1000 Hz, above it on every
/// trunc(rate / 1000)-th tick.
inline bool IsMidiPollTick(const Engine& e) {
    const int rate = e.EffectiveControlRate();
    if (rate <= 1000) return true;
    const uint64_t n = uint64_t(rate / 1000);
    return e.ControlTickCounter() % n == 0;
}

/// A table of up to 128 voices keyed by a note byte, with an index from note to entry so that finding
/// a note costs nothing. Entry needs a member `uint8_t note`. A fresh entry is value-initialised, unless
/// Entry has a member `Begin(uint8_t note)`, which then prepares the cell itself (and may keep some of
/// what the cell held). Removing an entry moves the last one into its place; the caller then processes
/// that index again.
template <class Entry> class NoteTable {
public:
    NoteTable() { index_.fill(-1); }
    int Count() const { return count_; }
    Entry& operator[](int i) { return entries_[size_t(i)]; }
    const Entry& operator[](int i) const { return entries_[size_t(i)]; }
    int Find(uint8_t note) const { return index_[note]; }
    /// Index of the entry for note; a fresh entry is appended when absent (appended is then true); -1
    /// when absent and the table is full.
    int FindOrAppend(uint8_t note, bool& appended) {
        appended = false;
        const int i = index_[note];
        if (i >= 0) return i;
        if (count_ >= kMaxVoices) return -1;
        Entry& fresh = entries_[size_t(count_)];
        if constexpr (requires { fresh.Begin(note); }) {
            fresh.Begin(note);
        } else {
            fresh = Entry{};
            fresh.note = note;
        }
        index_[note] = int16_t(count_);
        appended = true;
        return count_++;
    }
    int FindOrAppend(uint8_t note) {
        bool appended = false;
        return FindOrAppend(note, appended);
    }
    void RemoveAt(int i) {
        index_[entries_[size_t(i)].note] = -1;
        const int last = count_ - 1;
        if (i != last) {
            entries_[size_t(i)] = entries_[size_t(last)];
            index_[entries_[size_t(i)].note] = int16_t(i);
        }
        count_ = last;
    }
    void Clear() {
        for (int i = 0; i < count_; ++i) index_[entries_[size_t(i)].note] = -1;
        count_ = 0;
    }

private:
    std::array<Entry, kMaxVoices> entries_{};
    std::array<int16_t, 256> index_{};
    int count_ = 0;
};

/// A fixed ring with one producer thread and one consumer thread; never allocates, never blocks.
template <class T, uint32_t N> class SpscRing {
    static_assert((N & (N - 1)) == 0, "N must be a power of two");

public:
    /// Producer: false when the ring is full (the item is dropped).
    bool Push(const T& v) {
        const uint32_t h = head_.load(std::memory_order_relaxed);
        const uint32_t t = tail_.load(std::memory_order_acquire);
        if (h - t >= N) return false;
        buf_[h & (N - 1)] = v;
        head_.store(h + 1, std::memory_order_release);
        return true;
    }
    /// Consumer: false when the ring is empty.
    bool Pop(T& v) {
        const uint32_t t = tail_.load(std::memory_order_relaxed);
        const uint32_t h = head_.load(std::memory_order_acquire);
        if (t == h) return false;
        v = buf_[t & (N - 1)];
        tail_.store(t + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, N> buf_{};
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

} // namespace mw::notes
