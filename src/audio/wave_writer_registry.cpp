#include "audio/wave_writer_registry.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/module.hpp"
#include "model/params.hpp"

namespace mw {
namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// A size field never wraps: below 0 it is 0, above the 32-bit range it stays at 0xFFFFFFFF.
uint32_t SizeField(int64_t v) {
    if (v < 0) return 0;
    if (v > int64_t(0xFFFFFFFFu)) return 0xFFFFFFFFu;
    return uint32_t(v);
}

bool WriteAll(int fd, const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (w == 0) return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

bool PatchField(int fd, off_t offset, uint32_t value) {
    uint8_t b[4];
    Put32(b, value);
    return ::pwrite(fd, b, 4, offset) == 4;
}

} // namespace

std::array<uint8_t, 44> WaveWriterRegistry::NewFileHeader() {
    std::array<uint8_t, 44> h{};
    std::memcpy(&h[0], "RIFF", 4);
    Put32(&h[4], 0xFFFFFFFFu);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    Put32(&h[16], 16);
    Put16(&h[20], 1);      // PCM
    Put16(&h[22], 2);      // channels
    Put32(&h[24], 48000);  // samples per second
    Put32(&h[28], 192000); // bytes per second
    Put16(&h[32], 4);      // block alignment
    Put16(&h[34], 16);     // bits per sample
    std::memcpy(&h[36], "data", 4);
    Put32(&h[40], 0xFFFFFFFFu);
    return h;
}

WaveWriterRegistry::~WaveWriterRegistry() {
    StopAll();
}

WaveWriterRegistry::StartResult WaveWriterRegistry::StartRecording(const Module& writer) {
    if (writer.kind != ModuleKind::AudioWaveWriter) return StartResult::OpenFailed;
    if (IsRecording(writer)) return StartResult::AlreadyRecording;
    if (writer.texts.size() <= size_t(wave_writer::FilePath)) return StartResult::NoPath;
    const std::string& path = writer.texts[wave_writer::FilePath];
    if (path.empty()) return StartResult::NoPath;
    const bool append = writer.Bool(wave_writer::Append);

    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? 0 : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return StartResult::OpenFailed;

    // Appending goes on at the end of an existing file; an empty file gets a header like a new one, so
    // that the sizes patched at stop land in a header and not in the recorded frames.
    off_t end = 0;
    if (exists && append) {
        end = ::lseek(fd, 0, SEEK_END);
        if (end < 0) {
            ::close(fd);
            return StartResult::OpenFailed;
        }
    }
    if (end == 0) {
        const auto header = NewFileHeader();
        if (!WriteAll(fd, header.data(), header.size())) {
            ::close(fd);
            return StartResult::OpenFailed;
        }
    }

    std::lock_guard lock(mutex_);
    recordings_.push_back({&writer, fd, 0});
    return StartResult::Started;
}

bool WaveWriterRegistry::StopRecording(const Module& writer, int* writeError) {
    int fd = -1;
    {
        std::lock_guard lock(mutex_);
        for (auto it = recordings_.begin(); it != recordings_.end(); ++it)
            if (it->module == &writer) {
                fd = it->fd;
                if (writeError) *writeError = it->writeError;
                recordings_.erase(it);
                break;
            }
    }
    if (fd < 0) return false;
    // Out of the list under the lock: no tap reaches this file any more.
    Finish(fd);
    return true;
}

void WaveWriterRegistry::Finish(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        const int64_t size = int64_t(st.st_size);
        (void)PatchField(fd, 4, SizeField(size - 8));
        (void)PatchField(fd, 40, SizeField(size - 44));
    }
    ::close(fd);
}

bool WaveWriterRegistry::IsRecording(const Module& writer) const {
    std::lock_guard lock(mutex_);
    for (const Recording& r : recordings_)
        if (r.module == &writer) return true;
    return false;
}

size_t WaveWriterRegistry::RecordingCount() const {
    std::lock_guard lock(mutex_);
    return recordings_.size();
}

void WaveWriterRegistry::StopAll() {
    std::vector<Recording> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(recordings_);
    }
    for (const Recording& r : all) Finish(r.fd);
}

void WaveWriterRegistry::TapBuffer(const int16_t* frames, uint32_t bytes, int32_t deviceNumber) {
    std::lock_guard lock(mutex_);
    for (Recording& r : recordings_) {
        if (r.module->Device(wave_writer::Output) != deviceNumber) continue;
        // Not reported here: the stop sizes follow the file, and the stop tells that a write failed.
        if (!WriteAll(r.fd, frames, bytes) && r.writeError == 0) r.writeError = errno != 0 ? errno : EIO;
    }
}

} // namespace mw
