#pragma once
// The wave-writer registry: the recordings of the wave-writer modules. Every buffer that an output
// device's writer thread hands to the device is offered here (TapBuffer) and appended to the file of each
// recording whose module names that device.
//
// Write errors while recording are not reported as they happen (the recording goes on, the sizes written at
// stop follow the real file size); the recording remembers that a write failed, and StopRecording says so.
//
// File layout: a 44-byte RIFF/WAVE header (PCM, 2 channels, 48000 Hz, 16 bits) with FF FF FF FF in both
// size fields while recording; at stop the RIFF size (offset 4) becomes file size - 8 and the data size
// (offset 40) file size - 44. Sizes beyond 0xFFFFFFFF (recordings past 4 GiB) are written as 0xFFFFFFFF,
// never wrapped; the recording itself goes on and keeps every frame.
//
// Threads: StartRecording / StopRecording / IsRecording on the user-interface thread, TapBuffer on the
// output writer threads. Stop takes the registry lock to take the recording out, so once it has done so
// no tap can write into the file any more; the sizes are patched and the file closed after that.
//
// A module that is recording must be stopped (StopRecording) before it is destroyed: the tap reads the
// module's device field.

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace mw {

class Module;

class WaveWriterRegistry {
public:
    enum class StartResult {
        Started,
        AlreadyRecording,
        NoPath,     // FilePath is empty: the window lets the user browse, then tries again
        OpenFailed, // strings 149 / 150: the file could not be opened for writing
    };

    WaveWriterRegistry() = default;
    ~WaveWriterRegistry();
    WaveWriterRegistry(const WaveWriterRegistry&) = delete;
    WaveWriterRegistry& operator=(const WaveWriterRegistry&) = delete;

    /// Starts recording a wave-writer module: its texts[wave_writer::FilePath], bools[wave_writer::Append];
    /// the device recorded is read from devices[wave_writer::Output] at every buffer.
    StartResult StartRecording(const Module& writer);
    /// Patches the sizes and closes the file; false when the module was not recording. `writeError`, when
    /// given, receives the errno value of the first write of the recording that failed (a full disk, say;
    /// 0 when none did): the file then holds fewer frames than were played, and its sizes say so.
    bool StopRecording(const Module& writer, int* writeError = nullptr);
    bool IsRecording(const Module& writer) const;
    /// Stops every recording (program end).
    void StopAll();
    size_t RecordingCount() const;

    /// One buffer as sent to output device `deviceNumber`: `bytes` bytes of 16-bit stereo frames.
    void TapBuffer(const int16_t* frames, uint32_t bytes, int32_t deviceNumber);

    /// The header written at the start of a new recording.
    static std::array<uint8_t, 44> NewFileHeader();

private:
    struct Recording {
        const Module* module;
        int fd;
        int writeError; // the first failed write's errno, set by the tapping thread under the lock
    };
    static void Finish(int fd);

    mutable std::mutex mutex_;
    std::vector<Recording> recordings_;
};

} // namespace mw
